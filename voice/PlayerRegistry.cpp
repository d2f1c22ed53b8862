#include "PlayerRegistry.h"

#include <mutex>

namespace Tralvonic::Voice {

void PlayerRegistry::Add(std::string_view name) {
    Players staging;
    staging.try_emplace(std::string(name));
    Players::node_type node = staging.extract(staging.begin());
    std::unique_lock lock(_lock);
    if (!_players.contains(name)) {
        _players.insert(std::move(node));
    }
    // An entry that lost the race to another thread's is destroyed after the unlock.
    lock.unlock();
}

void PlayerRegistry::Remove(std::string_view name) {
    Players::node_type removed;
    {
        std::unique_lock lock(_lock);
        if (auto found = _players.find(name); found != _players.end()) {
            removed = _players.extract(found);
        }
    }
}

} // namespace Tralvonic::Voice
