#include "SimulatedClient.h"

#include "ActiveClient.h"
#include "HostTable.h"

#include <algorithm>
#include <stdexcept>

namespace Tralvonic::Sim {

using namespace TeamSpeak;

SimulatedClient::SimulatedClient() : _functions(BuildHostTable()) {
    ActiveClient::Activate(*this);
}

SimulatedClient::~SimulatedClient() {
    // No event may reach a plugin after this, and no plugin thread may still be inside a
    // host call when the members go.
    _events.Stop();
    ActiveClient::Deactivate(*this);
}

SimServer& SimulatedClient::AddServer(std::string uniqueIdentifier, std::string name, int status) {
    SimServer* view;
    {
        std::lock_guard lock(_world.Mutex);
        auto server = std::make_unique<ServerState>();
        server->Handler = _world.NextHandler++;
        server->Status = status;
        server->Values.Set(VIRTUALSERVER_UNIQUE_IDENTIFIER, std::move(uniqueIdentifier));
        server->Values.Set(VIRTUALSERVER_NAME, std::move(name));
        server->Values.Set(VIRTUALSERVER_MAXCLIENTS, std::int64_t{32});
        server->Values.Set(VIRTUALSERVER_PLATFORM, "Linux");
        server->Values.Set(VIRTUALSERVER_VERSION, "3.13.7 [Build: 1655727713]");
        server->ConnectHost = "ts" + std::to_string(server->Handler) + ".example.org";
        server->ServerIp = "192.0.2." + std::to_string(server->Handler);
        if (_world.CurrentHandler == 0) {
            _world.CurrentHandler = server->Handler;
        }
        _serverViews.push_back(std::make_unique<SimServer>(*this, server->Handler));
        view = _serverViews.back().get();
        _world.Servers.push_back(std::move(server));
    }
    NotifyChanged();
    return *view;
}

SimServer& SimulatedClient::Server(uint64 handler) {
    std::lock_guard lock(_world.Mutex);
    for (auto& view : _serverViews) {
        if (view->Handler() == handler) {
            return *view;
        }
    }
    throw std::out_of_range("no server tab " + std::to_string(handler));
}

void SimulatedClient::SetCurrentServer(uint64 handler) {
    std::lock_guard lock(_world.Mutex);
    _world.CurrentHandler = handler;
}

std::vector<std::string> SimulatedClient::ChatMessages() const {
    std::lock_guard lock(_world.Mutex);
    return _world.ChatMessages;
}

void SimulatedClient::SetPermissionId(std::string name, unsigned int id) {
    std::lock_guard lock(_world.Mutex);
    _world.PermissionIds[std::move(name)] = id;
}

void SimulatedClient::SetPermissionOverviewAnswer(PermissionOverviewAnswer answer) {
    std::lock_guard lock(_world.Mutex);
    _world.OverviewAnswer = std::move(answer);
}

void SimulatedClient::FailCall(std::string function, Error code, std::size_t nth) {
    std::lock_guard lock(_pluginMutex);
    nth = std::max<std::size_t>(nth, 1);
    auto& schedule = _faults[std::move(function)];
    if (schedule.size() < nth) {
        schedule.resize(nth);
    }
    schedule[nth - 1] = static_cast<unsigned int>(code);
}

std::optional<unsigned int> SimulatedClient::TakeInjectedFault(std::string_view function) {
    std::lock_guard lock(_pluginMutex);
    auto found = _faults.find(function);
    if (found == _faults.end() || found->second.empty()) {
        return std::nullopt;
    }
    auto fault = found->second.front();
    found->second.erase(found->second.begin());
    return fault;
}

void SimulatedClient::AttachPlugin(const PluginExports& exports) {
    std::lock_guard lock(_pluginMutex);
    _plugin = std::make_shared<const PluginExports>(exports);
}

void SimulatedClient::DetachPlugin() {
    std::lock_guard lock(_pluginMutex);
    _plugin.reset();
}

std::shared_ptr<const PluginExports> SimulatedClient::Plugin() const {
    std::lock_guard lock(_pluginMutex);
    return _plugin;
}

void SimulatedClient::Raise(std::function<void(const PluginExports&)> event) {
    _events.Post([this, event = std::move(event)] { Deliver(event); });
}

void SimulatedClient::Post(std::function<void()> work) {
    _events.Post(std::move(work));
}

void SimulatedClient::Deliver(const std::function<void(const PluginExports&)>& event) {
    if (auto plugin = Plugin()) {
        event(*plugin);
    }
}

bool SimulatedClient::WaitForEvents(std::chrono::milliseconds timeout) const {
    return _events.WaitUntilIdle(timeout);
}

bool SimulatedClient::WaitFor(const std::function<bool()>& predicate,
                              std::chrono::milliseconds timeout) const {
    return _signal.WaitFor(predicate, timeout);
}

bool SimulatedClient::WaitForCall(std::string_view function, std::chrono::milliseconds timeout,
                                  std::size_t count) const {
    return WaitFor([&] { return _record.CallCount(function) >= count; }, timeout);
}

} // namespace Tralvonic::Sim
