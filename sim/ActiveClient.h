#pragma once
// The host function table holds plain C function pointers, so its entries reach the one
// active SimulatedClient through a process-wide pointer. A call pins the client for its
// duration; deactivation waits until no call is in flight, so a plugin thread that is still
// calling while a test ends never touches a destroyed client.

namespace Tralvonic::Sim {

class SimulatedClient;

namespace ActiveClient {

// Throws std::logic_error when another client is already active.
void Activate(SimulatedClient& client);
// Returns once no call can still reach `client`.
void Deactivate(SimulatedClient& client);

class Call {
public:
    Call();
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;
    // Null when no client is active.
    SimulatedClient* Client() const { return _client; }

private:
    SimulatedClient* _client;
};

} // namespace ActiveClient
} // namespace Tralvonic::Sim
