#pragma once
// The built-in game session's WebSocket connection to the plugin's game link, as a game
// script's connection: text messages in both directions, no Origin header. It runs on one
// thread of its own from Open to Close; messages are handed to the handler on that thread and
// may be sent from any thread. Everything is bounded: the connect and handshake by a deadline,
// an incoming message by its size, the send queue by its length, the close by a deadline.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

namespace Tralvonic::Sim::Host::Demo {

class GameConnection {
public:
    static constexpr std::size_t MaximumMessageBytes = 1 << 20;
    static constexpr std::size_t MaximumQueuedMessages = 256;

    // `onMessage` gets every text message, on the connection's thread; it must not block.
    explicit GameConnection(std::function<void(std::string)> onMessage);
    // Closes and joins.
    ~GameConnection();
    GameConnection(const GameConnection&) = delete;
    GameConnection& operator=(const GameConnection&) = delete;

    // Connects to ws://host:port/ and finishes the handshake within `timeout`. Absent on
    // success, else why it failed. Call once.
    std::optional<std::string> Open(const std::string& host, unsigned short port,
                                    std::chrono::milliseconds timeout);
    // Queues a text message; dropped with a log line when the connection is not open or the
    // queue is full.
    void Send(std::string text);
    // Why the connection ended, once it ended (by the plugin, a failure or Close).
    std::optional<std::string> EndReason() const;
    // Closes with a close handshake (waiting at most a second for it) and joins the thread;
    // later calls do nothing.
    void Close();

private:
    struct Session;
    std::unique_ptr<Session> _session;
    std::thread _thread; // owned; joined in Close
};

} // namespace Tralvonic::Sim::Host::Demo
