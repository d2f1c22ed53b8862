#pragma once
// The host's permission table of a server tab. Any thread; no lock.

#include "TeamSpeak/Server.h"

#include <cstdint>
#include <string_view>

namespace TeamSpeak {

class Permissions {
public:
    // The server's id of the permission with this name; 0 when the host delivers none. The
    // host's result code is not looked at, so a failed lookup leaves no log line.
    static std::uint32_t IdByName(const Server& server, std::string_view name);
};

} // namespace TeamSpeak
