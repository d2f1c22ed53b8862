#pragma once
// The ordered list of players a recalculation whispers to. Phone partners and radio channel
// members join it once each; players in the user's voice range are appended unchecked, so
// one who is both (a direct phone partner standing next to the user) is listed twice.

#include "instance/PlayerState.h"

#include <memory>
#include <unordered_set>
#include <vector>

namespace Tralvonic {

class TargetPlayers {
public:
    void AppendUnlessListed(const std::shared_ptr<PlayerState>& player) {
        if (_listed.insert(player.get()).second) {
            _players.push_back(player);
        }
    }

    // Only for the last step of a recalculation: nothing asks after it whether a player is listed.
    void Append(const std::shared_ptr<PlayerState>& player) { _players.push_back(player); }

    const std::vector<std::shared_ptr<PlayerState>>& Players() const { return _players; }

private:
    std::vector<std::shared_ptr<PlayerState>> _players;
    std::unordered_set<const PlayerState*> _listed;
};

} // namespace Tralvonic
