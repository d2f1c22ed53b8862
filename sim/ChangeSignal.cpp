#include "ChangeSignal.h"

#include <algorithm>

namespace Tralvonic::Sim {

void ChangeSignal::Notify() {
    {
        std::lock_guard lock(_mutex);
        ++_generation;
    }
    _changed.notify_all();
}

bool ChangeSignal::WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) const {
    // Predicates may also look at things the simulated client does not see change (the
    // plugin's connection list, a game's messages), so they are re-checked every few
    // milliseconds as well, and once more at the deadline.
    constexpr auto Recheck = std::chrono::milliseconds(5);
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        std::uint64_t seen;
        {
            std::lock_guard lock(_mutex);
            seen = _generation;
        }
        // Reading the generation before the predicate means a change that happens while the
        // predicate runs is not missed: the wait below returns at once.
        if (predicate()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        std::unique_lock lock(_mutex);
        _changed.wait_until(lock, std::min(deadline, now + Recheck), [&] { return _generation != seen; });
    }
}

} // namespace Tralvonic::Sim
