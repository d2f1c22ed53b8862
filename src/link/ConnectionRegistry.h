#pragma once
// The server's shared state that needs no socket: the list of accepted connections, the
// decision at opening (origin), the open and close log lines and the call of the message
// handler. Sessions report here from their I/O threads; Send and Broadcast read the list
// from any thread. The list mutex is held only to add, remove or copy entries.

#include "link/Connection.h"
#include "link/OriginFilter.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Tralvonic {

class ConnectionRegistry {
public:
    using MessageHandler =
        std::function<void(const std::shared_ptr<Connection>& connection, const std::string& text)>;

    // Set before the first connection opens; never changed while I/O threads run.
    void SetMessageHandler(MessageHandler handler);

    // Compiles the origin patterns ahead, on the caller's thread (see OriginFilter::Prepare).
    void PrepareOriginPatterns(const std::vector<std::string>& patterns) { _filter.Prepare(patterns); }
    // After the handshake: logs the opening and decides by origin. A refused connection
    // is logged as such and must be closed by the caller; it is never listed.
    bool Admit(const Connection& connection);
    // Lists an admitted connection (in order of acceptance).
    void Add(std::shared_ptr<Connection> connection);
    // When a connection has ended: unlists it if listed, then logs the close of a
    // connection that had opened.
    void OnClosed(const Connection& connection, bool wasOpened);
    // Runs the message handler outside any lock; a failure is logged, never thrown.
    void Dispatch(const std::shared_ptr<Connection>& connection, const std::string& text) const;

    std::vector<std::shared_ptr<Connection>> Snapshot() const;
    std::int32_t Count() const;
    void Clear();

    // "ID: {id} | Source: {ip}:{port}", the head of every line about one connection.
    static std::string Describe(const Connection& connection);

private:
    MessageHandler _handler;
    OriginFilter _filter;

    mutable std::mutex _mutex;
    // guarded by _mutex
    std::vector<std::shared_ptr<Connection>> _accepted;
};

} // namespace Tralvonic
