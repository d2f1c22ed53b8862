#include "core/VersionAnnouncement.h"

#include "TeamSpeak/Client.h"
#include "core/Base.h"

namespace Tralvonic {

void VersionAnnouncement::AnnounceOnConnectedServers() {
    for (const TeamSpeak::Server& server : TeamSpeak::Server::ConnectedServers()) {
        Announce(server);
    }
}

void VersionAnnouncement::Announce(const TeamSpeak::Server& server) {
    server.LocalClient().SetMetaData(Base::Name, Base::Version);
}

void VersionAnnouncement::WithdrawFromConnectedServers() {
    for (const TeamSpeak::Server& server : TeamSpeak::Server::ConnectedServers()) {
        server.LocalClient().RemoveMetaData(Base::Name);
    }
}

} // namespace Tralvonic
