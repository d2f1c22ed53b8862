#pragma once
// A list that is replaced as a whole value, never edited in place: readers take the current
// version under a short lock and keep it as long as they like; writers build the next one.
// Changes of one element go through Modify, so two game threads adding at once lose nothing.

#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace Tralvonic {

template <class T> class SharedList {
public:
    using Snapshot = std::shared_ptr<const std::vector<T>>;

    SharedList() : _current(std::make_shared<const std::vector<T>>()) {}
    SharedList(const SharedList&) = delete;
    SharedList& operator=(const SharedList&) = delete;

    // Never null.
    Snapshot Load() const {
        std::lock_guard lock(_mutex);
        return _current;
    }

    void Store(std::vector<T> values) {
        Snapshot next = std::make_shared<const std::vector<T>>(std::move(values));
        std::lock_guard lock(_mutex);
        // The previous version dies outside the lock.
        _current.swap(next);
    }

    // `change(copy)` edits a copy of the current version and returns true to store it. It runs
    // under the lock, so it must not call out.
    template <class Change> bool Modify(Change&& change) {
        Snapshot previous;
        std::lock_guard lock(_mutex);
        auto values = *_current;
        if (!change(values)) {
            return false;
        }
        previous = std::exchange(_current, std::make_shared<const std::vector<T>>(std::move(values)));
        return true;
    }

private:
    mutable std::mutex _mutex;
    Snapshot _current;
};

} // namespace Tralvonic
