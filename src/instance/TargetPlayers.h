#pragma once
// The ordered list of players a recalculation whispers to. Phone partners and radio channel
// members join it once each; players in the user's voice range are appended unchecked, so
// one who is both (a direct phone partner standing next to the user) is listed twice.

#include "instance/PlayerState.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace Tralvonic {

class TargetPlayers {
public:
    void AppendUnlessListed(const std::shared_ptr<PlayerState>& player) {
        // Kept sorted: a few dozen partners and members per recalculation, bounded by the
        // channel member limit, so no hash set with its allocations is needed.
        const auto at = std::lower_bound(_listed.begin(), _listed.end(), player.get());
        if (at != _listed.end() && *at == player.get()) {
            return;
        }
        _listed.insert(at, player.get());
        _players.push_back(player);
    }

    // Only for the last step of a recalculation: nothing asks after it whether a player is listed.
    void Append(const std::shared_ptr<PlayerState>& player) { _players.push_back(player); }

    const std::vector<std::shared_ptr<PlayerState>>& Players() const { return _players; }

private:
    std::vector<std::shared_ptr<PlayerState>> _players;
    std::vector<const PlayerState*> _listed;
};

} // namespace Tralvonic
