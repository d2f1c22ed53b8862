#pragma once
// A process-wide list of subscribers to one host event. Subscribing, unsubscribing and
// raising may happen on any thread. Raising calls the subscribers present when it starts,
// in subscription order, on the raising thread; the list's lock is held only to copy a
// pointer, never while a subscriber runs, so a subscriber may itself subscribe or
// unsubscribe. A subscriber that throws is logged and the others are still called.

#include "core/LastResort.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace Tralvonic {

template <typename... Args> class CallbackList {
public:
    using Callback = std::function<void(const Args&...)>;
    // Names one subscription for Unsubscribe; never 0.
    using Subscription = std::uint64_t;

    Subscription Subscribe(Callback callback) {
        std::lock_guard lock(_mutex);
        const Subscription subscription = ++_lastSubscription;
        auto next = std::make_shared<Entries>(*_entries);
        next->push_back({subscription, std::make_shared<const Callback>(std::move(callback))});
        _entries = std::move(next);
        return subscription;
    }

    // Nothing for a subscription that is not (or no longer) in the list.
    void Unsubscribe(Subscription subscription) {
        std::lock_guard lock(_mutex);
        auto next = std::make_shared<Entries>(*_entries);
        std::erase_if(*next, [subscription](const Entry& entry) { return entry.Id == subscription; });
        _entries = std::move(next);
    }

    void Raise(const Args&... args) const {
        std::shared_ptr<const Entries> present;
        {
            std::lock_guard lock(_mutex);
            present = _entries;
        }
        for (const Entry& entry : *present) {
            RunGuarded([&] { (*entry.Function)(args...); });
        }
    }

    std::size_t Count() const {
        std::lock_guard lock(_mutex);
        return _entries->size();
    }

private:
    struct Entry {
        Subscription Id;
        std::shared_ptr<const Callback> Function;
    };
    using Entries = std::vector<Entry>;

    mutable std::mutex _mutex;
    // Replaced whole on every change, so a raise walks a list that no one edits.
    std::shared_ptr<const Entries> _entries = std::make_shared<const Entries>(); // guarded by _mutex
    Subscription _lastSubscription = 0;                                          // guarded by _mutex
};

} // namespace Tralvonic
