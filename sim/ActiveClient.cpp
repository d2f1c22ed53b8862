#include "ActiveClient.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

namespace Tralvonic::Sim::ActiveClient {

namespace {

std::atomic<SimulatedClient*> active{nullptr};
std::atomic<int> callsInFlight{0};
// The last call out tells a waiting Deactivate. Not std::atomic::wait: MinGW's GCC 12 builds
// that on a waiter pool that can miss a wake-up, which left threads waiting for good under
// Wine. The notifier takes the mutex between its count and its notify, so a Deactivate that
// saw calls in flight is waiting by then.
std::mutex lastCallMutex;
std::condition_variable lastCallOut;

} // namespace

void Activate(SimulatedClient& client) {
    SimulatedClient* expected = nullptr;
    if (!active.compare_exchange_strong(expected, &client)) {
        throw std::logic_error("another SimulatedClient is already the active host");
    }
}

void Deactivate(SimulatedClient& client) {
    SimulatedClient* expected = &client;
    if (!active.compare_exchange_strong(expected, nullptr)) {
        return;
    }
    // A call counts itself in before it reads the pointer, so once the pointer is null
    // and the count reaches zero no call can hold this client.
    std::unique_lock lock(lastCallMutex);
    lastCallOut.wait(lock, [] { return callsInFlight.load() == 0; });
}

Call::Call() {
    callsInFlight.fetch_add(1);
    _client = active.load();
}

Call::~Call() {
    if (callsInFlight.fetch_sub(1) == 1) {
        { std::lock_guard lock(lastCallMutex); }
        lastCallOut.notify_all();
    }
}

} // namespace Tralvonic::Sim::ActiveClient
