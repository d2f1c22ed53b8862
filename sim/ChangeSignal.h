#pragma once
// Lets a test wait, with a deadline, for anything the simulated client observes: a host
// call, a change of the world, an event delivered to the plugin. Waiters re-check their
// predicate after every change and every few milliseconds; the predicate runs without this signal's lock, so
// it may query the simulated client freely.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

namespace Tralvonic::Sim {

class ChangeSignal {
public:
    void Notify();
    // True as soon as `predicate` holds; false when the timeout passes first.
    bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) const;

private:
    mutable std::mutex _mutex;
    mutable std::condition_variable _changed;
    std::uint64_t _generation = 0; // guarded by _mutex
};

} // namespace Tralvonic::Sim
