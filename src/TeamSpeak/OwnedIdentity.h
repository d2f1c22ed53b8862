#pragma once
// Identity of the objects that belong to a server tab (channels, clients): an id together
// with the tab, which may be missing. Shared so that both kinds compare and hash alike.

#include "TeamSpeak/Server.h"
#include "TeamSpeak/sdk/HostTypes.h"

#include <cstddef>
#include <optional>

namespace TeamSpeak {

// Id 0 or no server: the kind's zero object.
constexpr bool IsZeroOwned(const std::optional<Server>& server, uint64 id) noexcept {
    return id == 0 || !server;
}

// Both zero, or the same id on servers that are Equals (across tabs too).
bool SameOwned(const std::optional<Server>& leftServer, uint64 leftId,
               const std::optional<Server>& rightServer, uint64 rightId);

// Agrees with SameOwned: all zero objects hash alike.
std::size_t HashOwned(const std::optional<Server>& server, uint64 id);

} // namespace TeamSpeak
