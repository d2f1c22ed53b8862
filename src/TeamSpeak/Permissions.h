#pragma once
// The host's permission table of a server tab. Any thread; no lock.

#include "TeamSpeak/Server.h"

#include <cstdint>
#include <optional>
#include <source_location>
#include <string>
#include <string_view>

namespace TeamSpeak {

class Permissions {
public:
    // The server's id of the permission with this name; 0 when the host delivers none. The
    // host's result code is not looked at, so a failed lookup leaves no log line.
    static std::uint32_t IdByName(const Server& server, std::string_view name);
    // The name of a permission id; none when the host knows it not (checked, with the
    // caller's location in the log line).
    static std::optional<std::string>
    NameById(const Server& server, std::uint32_t id,
             std::source_location location = std::source_location::current());
    // Asks the server for the client's permissions in a channel; the entries, the end and a
    // refusal (with `returnCode`) arrive later as host events. The host's result is not looked at.
    static void RequestOverview(const Server& server, uint64 clientDatabaseId, uint64 channelId,
                                std::string_view returnCode);
};

} // namespace TeamSpeak
