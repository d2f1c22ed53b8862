#include "link/ConnectionRegistry.h"

#include "core/LastResort.h"
#include "core/Logger.h"

namespace Tralvonic {

void ConnectionRegistry::SetMessageHandler(MessageHandler handler) {
    _handler = std::move(handler);
}

bool ConnectionRegistry::Admit(const Connection& connection) {
    // An absent origin prints as nothing after "Origin: ".
    const auto& origin = connection.Origin();
    Logger::LogInfo(Describe(connection) + " | Origin: " + origin.value_or(""), LogChannel::WebSocketOnOpen);
    if (_filter.IsAllowed(origin))
        return true;
    Logger::LogWarning("Connections from origin \"" + *origin + "\" are not allowed, closing connection...",
                       LogChannel::WebSocketForbiddenOrigin);
    return false;
}

void ConnectionRegistry::Add(std::shared_ptr<Connection> connection) {
    std::lock_guard lock(_mutex);
    _accepted.push_back(std::move(connection));
}

void ConnectionRegistry::OnClosed(const Connection& connection, bool wasOpened) {
    {
        std::lock_guard lock(_mutex);
        std::erase_if(_accepted, [&](const auto& entry) { return entry.get() == &connection; });
    }
    if (wasOpened)
        Logger::LogInfo(Describe(connection), LogChannel::WebSocketOnClose);
}

void ConnectionRegistry::Dispatch(const std::shared_ptr<Connection>& connection,
                                  const std::string& text) const {
    if (!_handler)
        return;
    try {
        _handler(connection, text);
    } catch (...) {
        Logger::LogError({"Message: " + text, "Exception: " + DescribeCurrentException()},
                         LogChannel::WebSocketOnMessage);
    }
}

std::vector<std::shared_ptr<Connection>> ConnectionRegistry::Snapshot() const {
    std::lock_guard lock(_mutex);
    return _accepted;
}

std::int32_t ConnectionRegistry::Count() const {
    std::lock_guard lock(_mutex);
    return static_cast<std::int32_t>(_accepted.size());
}

void ConnectionRegistry::Clear() {
    std::lock_guard lock(_mutex);
    _accepted.clear();
}

std::string ConnectionRegistry::Describe(const Connection& connection) {
    return "ID: " + connection.Id() + " | Source: " + connection.RemoteAddress() + ":" +
           std::to_string(connection.RemotePort());
}

} // namespace Tralvonic
