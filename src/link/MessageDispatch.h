#pragma once
// Turns each text message from the game into the operation it asks for: Initiate creates a
// game instance, every other executable command goes to the instance named by the envelope's
// server unique identifier. Runs on the WebSocket server's I/O threads, one message of a
// connection after the other, different connections at once; it takes no lock of its own.

#include <memory>
#include <string>

namespace Tralvonic {

class Connection;

class MessageDispatch {
public:
    // The WebSocket message handler. Every failure is logged on WebSocketOnMessage and the
    // message dropped; nothing is thrown and the connection stays open. The answers to
    // Initiate go to `connection` only.
    static void OnMessage(const std::shared_ptr<Connection>& connection, const std::string& text);
};

} // namespace Tralvonic
