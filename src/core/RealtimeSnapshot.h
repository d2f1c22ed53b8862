#pragma once
// A value that ordinary threads replace and real-time (audio) threads read. A writer builds a
// new immutable value and publishes it; a reader borrows the current value with one atomic
// exchange and gives it back with one store, so it never waits, allocates or frees. Each of
// the reader slots holds the current value while no reader has it; a writer swaps every slot
// to the new value, waiting only for a reader that is inside its block to give a slot back,
// and then frees the previous value on its own thread: the last reference never drops on a
// real-time thread. Up to ReaderSlots readers may borrow at once.

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace Tralvonic {

template <class T> class RealtimeSnapshot {
public:
    static constexpr std::size_t ReaderSlots = 8;

    // Borrows the value until destroyed; empty only when every slot is borrowed already.
    class Reader {
    public:
        Reader(const Reader&) = delete;
        Reader& operator=(const Reader&) = delete;
        Reader(Reader&& other) noexcept
            : _slot(std::exchange(other._slot, nullptr)), _value(std::exchange(other._value, nullptr)) {}
        ~Reader() {
            if (_slot != nullptr) {
                _slot->store(_value, std::memory_order_release);
            }
        }
        explicit operator bool() const noexcept { return _value != nullptr; }
        const T& operator*() const noexcept { return *_value; }
        const T* operator->() const noexcept { return _value; }

    private:
        friend class RealtimeSnapshot;
        Reader(std::atomic<const T*>* slot, const T* value) noexcept : _slot(slot), _value(value) {}
        Reader& operator=(Reader&&) = delete;

        std::atomic<const T*>* _slot;
        const T* _value;
    };

    RealtimeSnapshot() : RealtimeSnapshot(std::make_unique<const T>()) {}
    explicit RealtimeSnapshot(std::unique_ptr<const T> initial) : _current(std::move(initial)) {
        for (auto& slot : _slots) {
            slot.store(_current.get(), std::memory_order_relaxed);
        }
    }
    RealtimeSnapshot(const RealtimeSnapshot&) = delete;
    RealtimeSnapshot& operator=(const RealtimeSnapshot&) = delete;

    // Any thread, real-time ones included: wait-free, a bounded scan of the slots.
    Reader Read() const noexcept {
        for (auto& slot : _slots) {
            if (const T* value = slot.exchange(nullptr, std::memory_order_acq_rel); value != nullptr) {
                return Reader(&slot, value);
            }
        }
        return Reader(nullptr, nullptr);
    }

    // Not on a real-time thread: may wait for readers. Hands back the previous value, which
    // no reader holds any more, so that the caller chooses where it is freed.
    std::unique_ptr<const T> Publish(std::unique_ptr<const T> next) {
        std::lock_guard lock(_writerMutex);
        const T* previous = _current.get();
        for (auto& slot : _slots) {
            const T* expected = previous;
            // A borrowed slot reads null until its reader is through with its block.
            while (!slot.compare_exchange_weak(expected, next.get(), std::memory_order_acq_rel,
                                               std::memory_order_relaxed)) {
                expected = previous;
                std::this_thread::yield();
            }
        }
        std::swap(_current, next);
        return next;
    }

private:
    std::mutex _writerMutex;
    std::unique_ptr<const T> _current; // guarded by _writerMutex
    mutable std::array<std::atomic<const T*>, ReaderSlots> _slots;
};

} // namespace Tralvonic
