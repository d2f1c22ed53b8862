#include "TeamSpeak/OwnedIdentity.h"

#include <functional>

namespace TeamSpeak {

bool SameOwned(const std::optional<Server>& leftServer, uint64 leftId,
               const std::optional<Server>& rightServer, uint64 rightId) {
    const bool leftZero = IsZeroOwned(leftServer, leftId);
    const bool rightZero = IsZeroOwned(rightServer, rightId);
    if (leftZero || rightZero) {
        return leftZero && rightZero;
    }
    // Ids on the same tab need no host call; across tabs the servers' identifiers decide.
    return leftId == rightId && (leftServer->Id() == rightServer->Id() || leftServer->Equals(*rightServer));
}

std::size_t HashOwned(const std::optional<Server>& server, uint64 id) {
    // Every zero object equals every other, whatever its id, so they must all hash alike.
    if (IsZeroOwned(server, id)) {
        return 0;
    }
    return 7 * std::hash<uint64>{}(id) + server->GetHashCode();
}

} // namespace TeamSpeak
