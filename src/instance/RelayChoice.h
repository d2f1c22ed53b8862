#pragma once
// The relay a radio transmission or phone call is heard through: among the players whose
// radio or phone plays it aloud, the nearest one whose voice reaches the user.

#include "instance/NameIndex.h"
#include "instance/PlayerState.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace Tralvonic {

// More relays than this in one message are refused: each is looked up on every recalculation.
constexpr std::size_t MaxRelays = 64;

// In `relayedBy` order; a strictly smaller distance replaces the choice, so the first of two
// equally near relays wins. Relays farther than 9999 are never chosen. Null when none counts.
inline std::shared_ptr<PlayerState> ChooseRelay(const std::vector<std::string>& relayedBy,
                                                const NameIndex<std::shared_ptr<PlayerState>>& players) {
    constexpr float DistanceBound = 9999.0f;
    std::shared_ptr<PlayerState> chosen;
    float nearest = DistanceBound;
    for (const auto& name : relayedBy) {
        const auto* relay = players.Find(name);
        if (relay == nullptr) {
            continue;
        }
        const float distance = (*relay)->Distance();
        // The user hears the relay: the relay's voice reaches him.
        if ((*relay)->Voice().VoiceRange > distance && distance < nearest) {
            nearest = distance;
            chosen = *relay;
        }
    }
    return chosen;
}

} // namespace Tralvonic
