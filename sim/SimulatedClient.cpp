#include "SimulatedClient.h"

#include "ActiveClient.h"
#include "HostTable.h"

namespace Tralvonic::Sim {

SimulatedClient::SimulatedClient() : _functions(BuildHostTable()) {
    ActiveClient::Activate(*this);
}

SimulatedClient::~SimulatedClient() {
    ActiveClient::Deactivate(*this);
}

bool SimulatedClient::WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) const {
    return _signal.WaitFor(predicate, timeout);
}

bool SimulatedClient::WaitForCall(std::string_view function, std::chrono::milliseconds timeout,
                                  std::size_t count) const {
    return WaitFor([&] { return _record.CallCount(function) >= count; }, timeout);
}

} // namespace Tralvonic::Sim
