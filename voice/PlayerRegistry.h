#pragma once
// The players the library knows, by game name. Game-command threads set values and remove
// players; audio threads process under the name, possibly at the same time for one name.
// A name gets its entry on its first call of any kind; only that first call allocates.
// Lookups share the lock; the exclusive lock is held only to link or unlink an entry that was
// built, or is destroyed, outside it, so an audio thread never waits for an allocation.

#include "PlayerVoice.h"
#include "ReaderWriterLock.h"

#include <map>
#include <shared_mutex> // std::shared_lock
#include <string>
#include <string_view>

namespace Tralvonic::Voice {

class PlayerRegistry {
public:
    // Runs `use` on the player's entry, created first if the name is new. The shared lock is
    // held during `use`, so that a concurrent Remove cannot free the entry under it.
    template <typename Use> void With(std::string_view name, Use&& use) {
        for (;;) {
            {
                std::shared_lock lock(_lock);
                if (auto found = _players.find(name); found != _players.end()) {
                    use(found->second);
                    return;
                }
            }
            Add(name);
        }
    }

    // Forgets the player; its next call starts again from the defaults.
    void Remove(std::string_view name);

private:
    using Players = std::map<std::string, PlayerVoice, std::less<>>;

    void Add(std::string_view name);

    ReaderWriterLock _lock;
    Players _players; // guarded by _lock
};

} // namespace Tralvonic::Voice
