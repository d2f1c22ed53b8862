#pragma once
// Tells other TeamSpeak users which plugin version this user runs: the element
// <Tralvonic>3.1.2</Tralvonic> in the meta data of the user's own client on a server, read
// by their info panels. Any thread; each step is a few host calls.

#include "TeamSpeak/Server.h"

namespace Tralvonic {

class VersionAnnouncement {
public:
    // On every server the host is connected to, in the host's order (after a good start).
    static void AnnounceOnConnectedServers();
    // On one server whose connection has just been established.
    static void Announce(const TeamSpeak::Server& server);
    // Removes the element from every connected server (during the stop).
    static void WithdrawFromConnectedServers();
};

} // namespace Tralvonic
