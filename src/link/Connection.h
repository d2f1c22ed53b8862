#pragma once
// One game client's WebSocket connection, as the dispatch and the game instances see it.
// The implementation lives with the server in WebSocket.cpp; every member may be called
// from any thread and never blocks on the network.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace Tralvonic {

class Connection {
public:
    virtual ~Connection() = default;

    // Random version-4 UUID in lower-case 8-4-4-4-12 form, fixed for the connection's life.
    virtual const std::string& Id() const = 0;
    // The client's IP address as text (IPv6 without brackets) and its port.
    virtual const std::string& RemoteAddress() const = 0;
    virtual std::uint16_t RemotePort() const = 0;
    // The Origin header of the opening handshake; absent when the client sent none.
    virtual const std::optional<std::string>& Origin() const = 0;

    // True from the accepted handshake until a close starts.
    virtual bool IsAvailable() const = 0;
    // Queues one text message; does nothing unless available. Nothing is logged here:
    // WebSocket::Send and Broadcast log what they send.
    virtual void SendText(std::shared_ptr<const std::string> text) = 0;
    // Starts a close handshake (code 1000); does nothing when the connection is closing.
    virtual void Close() = 0;
};

} // namespace Tralvonic
