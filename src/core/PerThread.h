#pragma once
// One object per thread, made on the thread's first Get and destroyed when that thread ends;
// the objects of threads still running when the PerThread itself goes (the plugin unloads
// while the host keeps its audio threads) are destroyed with it.
//
// This stands in for a thread_local object with a destructor, which MinGW cannot be trusted
// with: its emulated thread storage is freed before such destructors run, so they read freed
// memory at every thread's end, and each one pins the DLL until its thread ends. A thread key
// hands its destructor the object itself, on Linux as on Windows.

#include <pthread.h>

#include <mutex>
#include <system_error>
#include <unordered_set>

namespace Tralvonic {

template <class T> class PerThread {
public:
    PerThread() {
        if (const int error = pthread_key_create(&_key, &EndOfThread); error != 0) {
            throw std::system_error(error, std::generic_category(), "pthread_key_create");
        }
    }

    ~PerThread() {
        pthread_key_delete(_key);
        std::unordered_set<Slot*> slots;
        {
            std::lock_guard lock(_mutex);
            slots.swap(_slots);
        }
        for (Slot* slot : slots) {
            delete slot;
        }
    }

    PerThread(const PerThread&) = delete;
    PerThread& operator=(const PerThread&) = delete;

    // This thread's object; only a thread's first call allocates.
    T& Get() {
        if (auto* slot = static_cast<Slot*>(pthread_getspecific(_key))) {
            return slot->Value;
        }
        auto* slot = new Slot(this);
        {
            std::lock_guard lock(_mutex);
            _slots.insert(slot);
        }
        if (const int error = pthread_setspecific(_key, slot); error != 0) {
            Release(slot);
            throw std::system_error(error, std::generic_category(), "pthread_setspecific");
        }
        return slot->Value;
    }

private:
    struct Slot {
        explicit Slot(PerThread* owner) : Owner(owner) {}
        PerThread* const Owner;
        T Value;
    };

    static void EndOfThread(void* slot) {
        static_cast<Slot*>(slot)->Owner->Release(static_cast<Slot*>(slot));
    }

    // A slot that the destructor has already taken is its to delete.
    void Release(Slot* slot) {
        bool isMine = false;
        {
            std::lock_guard lock(_mutex);
            isMine = _slots.erase(slot) == 1;
        }
        if (isMine) {
            delete slot;
        }
    }

    pthread_key_t _key{};
    std::mutex _mutex;
    std::unordered_set<Slot*> _slots;
};

} // namespace Tralvonic
