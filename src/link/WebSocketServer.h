#pragma once
// Inside the WebSocket: the listener with its I/O threads (WebSocketServer.cpp) and the
// sessions it starts, one per connection (WebSocketSession.cpp, the only unit that
// includes Beast). Included by those two and by WebSocket.cpp only.

#include "link/Connection.h"
#include "link/ConnectionRegistry.h"
#include "link/ListenAddress.h"
#include "link/WebSocket.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace Tralvonic {

// What the listener needs of a session in order to stop it.
class WebSocketSession : public Connection {
public:
    // Starts a close handshake with code 1001; any thread.
    virtual void CloseGoingAway() = 0;
    // Drops the socket without a handshake; any thread.
    virtual void Abort() = 0;
    // Starts reading the upgrade request; called once, after the listener has noted it.
    virtual void Run() = 0;
};

class WebSocketServer : public std::enable_shared_from_this<WebSocketServer> {
public:
    WebSocketServer(std::shared_ptr<ConnectionRegistry> registry, std::string_view address,
                    WebSocketLimits limits);

    void Start();
    void Stop();
    std::optional<std::string> Address() const;
    // A session has ended; every session calls this exactly once, on its strand.
    void OnFinished(const WebSocketSession& session, bool wasOpened);

    const std::shared_ptr<ConnectionRegistry> Registry;
    const ListenAddress Listen;
    const std::string Configured;
    const WebSocketLimits Limits;
    boost::asio::io_context Io;
    std::atomic<bool> IsStarted{false};
    std::atomic<bool> IsStopping{false};
    std::atomic<bool> IsStopped{false};

private:
    void Accept();
    void OnAccept(boost::system::error_code error, boost::asio::ip::tcp::socket socket);
    void RunIo();
    std::vector<std::shared_ptr<WebSocketSession>> UnfinishedSessions() const;
    bool WaitUntil(const std::function<bool()>& done, std::chrono::steady_clock::duration timeout);

    mutable std::mutex _mutex;
    std::condition_variable _changed;
    // guarded by _mutex
    std::vector<std::weak_ptr<WebSocketSession>> _unfinished;
    int _runningThreads = 0;

    // Start and Stop only; owned threads, joined in Stop
    std::optional<boost::asio::ip::tcp::acceptor> _acceptor;
    std::optional<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> _work;
    std::vector<std::thread> _threads;
    std::uint16_t _boundPort = 0;
};

// Builds the session for an accepted socket (WebSocketSession.cpp). The socket's executor
// must be a strand of its own.
std::shared_ptr<WebSocketSession> MakeWebSocketSession(std::shared_ptr<WebSocketServer> server,
                                                       boost::asio::ip::tcp::socket socket);

} // namespace Tralvonic
