#pragma once
// A value that several threads replace whole and read whole, never edit in place. The lock
// covers one copy and nothing else, so a reader never waits behind a host call; for values
// without heap parts (ids, vectors, flags) neither side allocates.

#include <mutex>
#include <utility>

namespace Tralvonic {

template <class T> class AtomicSlot {
public:
    AtomicSlot() = default;
    explicit AtomicSlot(T value) : _value(std::move(value)) {}
    AtomicSlot(const AtomicSlot&) = delete;
    AtomicSlot& operator=(const AtomicSlot&) = delete;

    T Load() const {
        std::lock_guard lock(_mutex);
        return _value;
    }

    void Store(T value) {
        // The old value dies outside the lock.
        std::lock_guard lock(_mutex);
        std::swap(_value, value);
    }

    // Stores and hands back what was there, as one step.
    T Exchange(T value) {
        std::lock_guard lock(_mutex);
        std::swap(_value, value);
        return value;
    }

private:
    mutable std::mutex _mutex;
    T _value{};
};

} // namespace Tralvonic
