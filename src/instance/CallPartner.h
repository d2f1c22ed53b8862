#pragma once
// Checks and host actions shared by the radio and the phone for the player at the other end.

#include "instance/PlayerState.h"

#include <memory>

namespace Tralvonic {

// Known, bound to a client in view and alive: only then is reception worked out anew; for
// anyone else the last result stays.
inline bool IsReachablePartner(const std::shared_ptr<PlayerState>& partner) {
    if (!partner) {
        return false;
    }
    const auto client = partner->Client();
    return client && !client->IsZero() && partner->Voice().IsAlive;
}

// A partner the user muted locally would stay silent on the radio or phone he must hear.
inline void UnmuteIfMuted(const PlayerState& partner) {
    if (const auto client = partner.Client(); client && client->IsLocallyMuted()) {
        client->SetIsLocallyMuted(false);
    }
}

} // namespace Tralvonic
