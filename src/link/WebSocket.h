#pragma once
// The local WebSocket server that game scripts connect to. It filters connections by
// origin, keeps the list of accepted ones, hands every text message to one handler and
// sends text to one or all connections. Beast and Asio stay out of this header.
// Threads: Start and Stop come from the plugin's start and stop; Send, Broadcast and the
// accessors from any thread; the message handler runs on the server's own I/O threads.

#include "link/Connection.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic {

class ConnectionRegistry;
class WebSocketServer;

// How a sent text is logged on WebSocketSendMessage: ready text at LogDebug, serialised
// records at LogExtensive.
enum class MessageForm { Text, Serialized };

struct WebSocketLimits {
    // A larger incoming message closes its connection with code 1009.
    std::size_t MaxMessageBytes = 1024 * 1024;
    // A client that has messages waiting and has taken none of them for this long has
    // stopped reading; it is closed. A slow reader that keeps taking them is left alone.
    std::chrono::milliseconds StalledSendTimeout{10000};
    // However it reads, no client makes the plugin hold more than this for it. Far above
    // any burst the plugin sends: its messages are small, and a game causes only a few per
    // message it sends (instances, the other source, are bounded).
    std::size_t MaxQueuedBytes = 64 * 1024 * 1024;
};

class WebSocket {
public:
    // Called for every text message, in arrival order per connection, on an I/O thread,
    // before the connection's next message is read. Exceptions are caught and logged.
    using MessageHandler =
        std::function<void(const std::shared_ptr<Connection>& connection, const std::string& text)>;

    // For "ws://" + the configured WebSocketAddress. Throws std::invalid_argument unless
    // the address is an IP address (IPv6 in brackets) and a port.
    WebSocket();
    explicit WebSocket(std::string_view webSocketAddress, WebSocketLimits limits = {});
    // Stops the server if it still runs.
    ~WebSocket();
    WebSocket(const WebSocket&) = delete;
    WebSocket& operator=(const WebSocket&) = delete;

    // Set before Start; messages that arrive without a handler are dropped.
    void SetMessageHandler(MessageHandler handler);

    // Binds, listens and starts the I/O threads. Throws std::runtime_error when the
    // address cannot be bound (for example, it is in use) or the server was started before.
    void Start();
    // Compiles origin patterns off the I/O threads; Start does it for the current settings,
    // and whoever changes the settings does it for the new ones. Any thread.
    void PrepareOriginPatterns(const std::vector<std::string>& patterns);
    // Closes every connection, stops listening and joins the I/O threads: when it returns
    // no thread of the server runs any more. A stopped server is never started again.
    // Neither Stop nor the destructor may run on the server's own I/O threads (a message
    // handler); Stop throws std::logic_error there.
    void Stop();

    bool IsStarted() const;
    // "ws://" + the address; with port 0 the port that was bound. Absent after Stop.
    std::optional<std::string> Address() const;
    std::int32_t OpenConnections() const;
    // The accepted connections in order of acceptance.
    std::vector<std::shared_ptr<Connection>> Connections() const;

    // Queue text for one connection or for every accepted one; never waits for the
    // network. Does nothing for a connection that is absent or no longer available.
    void Send(const std::shared_ptr<Connection>& connection, std::string text,
              MessageForm form = MessageForm::Text);
    void Broadcast(std::string text, MessageForm form = MessageForm::Text);

private:
    // The server outlives this object while a connection is still referenced, so that no
    // socket outlasts its I/O context.
    std::shared_ptr<ConnectionRegistry> _registry;
    std::shared_ptr<WebSocketServer> _server;
};

} // namespace Tralvonic
