#include "ActiveClient.h"

#include <atomic>
#include <stdexcept>

namespace Tralvonic::Sim::ActiveClient {

namespace {

std::atomic<SimulatedClient*> active{nullptr};
std::atomic<int> callsInFlight{0};

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
    for (int inFlight = callsInFlight.load(); inFlight != 0; inFlight = callsInFlight.load()) {
        callsInFlight.wait(inFlight);
    }
}

Call::Call() {
    callsInFlight.fetch_add(1);
    _client = active.load();
}

Call::~Call() {
    if (callsInFlight.fetch_sub(1) == 1) {
        callsInFlight.notify_all();
    }
}

} // namespace Tralvonic::Sim::ActiveClient
