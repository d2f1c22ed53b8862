#include "link/WebSocket.h"

#include "core/Base.h"
#include "core/LastResort.h"
#include "core/Logger.h"
#include "link/ConnectionRegistry.h"
#include "link/WebSocketServer.h"

#include <stdexcept>

namespace Tralvonic {

namespace {

void LogSent(const std::string& text, MessageForm form) {
    if (form == MessageForm::Text)
        Logger::LogDebug(text, LogChannel::WebSocketSendMessage);
    else
        Logger::LogExtensive(text, LogChannel::WebSocketSendMessage);
}

} // namespace

WebSocket::WebSocket() : WebSocket(Base::CurrentConfiguration()->WebSocketAddress) {}

WebSocket::WebSocket(std::string_view webSocketAddress, WebSocketLimits limits)
    : _registry(std::make_shared<ConnectionRegistry>()),
      _server(std::make_shared<WebSocketServer>(_registry, webSocketAddress, limits)) {}

WebSocket::~WebSocket() {
    try {
        _server->Stop();
    } catch (...) {
        Logger::LogError(DescribeCurrentException(), LogChannel::WebSocketStop);
    }
}

void WebSocket::SetMessageHandler(MessageHandler handler) {
    if (_server->IsStarted || _server->IsStopped)
        throw std::logic_error("The message handler must be set before the WebSocket server starts");
    _registry->SetMessageHandler(std::move(handler));
}

void WebSocket::Start() {
    PrepareOriginPatterns(Base::CurrentConfiguration()->OriginExceptions);
    _server->Start();
}
void WebSocket::PrepareOriginPatterns(const std::vector<std::string>& patterns) {
    _registry->PrepareOriginPatterns(patterns);
}
void WebSocket::Stop() {
    _server->Stop();
}
bool WebSocket::IsStarted() const {
    return _server->IsStarted;
}
std::optional<std::string> WebSocket::Address() const {
    return _server->Address();
}
std::int32_t WebSocket::OpenConnections() const {
    return _registry->Count();
}
std::vector<std::shared_ptr<Connection>> WebSocket::Connections() const {
    return _registry->Snapshot();
}

void WebSocket::Send(const std::shared_ptr<Connection>& connection, std::string text, MessageForm form) {
    if (!connection || !connection->IsAvailable())
        return;
    auto message = std::make_shared<const std::string>(std::move(text));
    connection->SendText(message);
    LogSent(*message, form);
}

void WebSocket::Broadcast(std::string text, MessageForm form) {
    // Snapshot under the list mutex, send outside it; one immutable text for all.
    const auto connections = _registry->Snapshot();
    const auto message = std::make_shared<const std::string>(std::move(text));
    for (const auto& connection : connections) {
        if (!connection->IsAvailable())
            continue;
        connection->SendText(message);
        LogSent(*message, form);
    }
}

} // namespace Tralvonic
