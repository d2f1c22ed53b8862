#include "ChangeSignal.h"

namespace Tralvonic::Sim {

void ChangeSignal::Notify() {
    {
        std::lock_guard lock(_mutex);
        ++_generation;
    }
    _changed.notify_all();
}

bool ChangeSignal::WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) const {
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
        std::unique_lock lock(_mutex);
        if (!_changed.wait_until(lock, deadline, [&] { return _generation != seen; })) {
            return false;
        }
    }
}

} // namespace Tralvonic::Sim
