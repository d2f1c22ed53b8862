// The listener of the WebSocket: binding, accepting onto a strand per connection, the I/O
// threads and the stop that closes every session and joins the threads.
#include "link/WebSocketServer.h"

#include "core/LastResort.h"
#include "link/ListenSocket.h"

#include <boost/asio/ip/v6_only.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>

#include <stdexcept>

namespace Tralvonic {

namespace {

namespace net = boost::asio;
using tcp = boost::asio::ip::tcp;

constexpr int IoThreadCount = 2;
// How long Stop lets clients answer the close handshake before it drops their sockets. The
// host waits for the stop (and may unload the plugin right after): together with the
// drain below it stays well under a second, whatever the clients do.
constexpr auto GracefulCloseTimeout = std::chrono::milliseconds(400);
// How long Stop waits for the I/O threads to run out of work before it stops them.
constexpr auto DrainTimeout = std::chrono::milliseconds(250);

// Set on a server's own I/O threads, so that Stop can refuse to join the thread it runs on.
thread_local const void* CurrentIoServer = nullptr;

} // namespace

WebSocketServer::WebSocketServer(std::shared_ptr<ConnectionRegistry> registry, std::string_view address,
                                 WebSocketLimits limits)
    : Registry(std::move(registry)), Listen(ListenAddress::Parse(address)), Configured(address),
      Limits(limits), Io(IoThreadCount) {}

void WebSocketServer::Start() {
    if (IsStarted || IsStopped)
        throw std::runtime_error("The WebSocket server at ws://" + Configured + " was started before");
    const tcp::endpoint endpoint(net::ip::make_address(Listen.Host), Listen.Port);
    tcp::acceptor acceptor(net::make_strand(Io));
    boost::system::error_code error;
    acceptor.open(endpoint.protocol(), error);
    if (!error)
        ClaimListeningAddress(acceptor, error);
    if (!error && Listen.IsIpv6)
        acceptor.set_option(net::ip::v6_only(true), error);
    if (!error)
        acceptor.bind(endpoint, error);
    if (!error)
        acceptor.listen(net::socket_base::max_listen_connections, error);
    if (error)
        throw std::runtime_error("Could not listen on ws://" + Configured + ": " + error.message());
    _boundPort = acceptor.local_endpoint().port();
    _acceptor.emplace(std::move(acceptor));
    _work.emplace(net::make_work_guard(Io));
    Accept();
    _runningThreads = IoThreadCount;
    for (int i = 0; i < IoThreadCount; ++i)
        _threads.emplace_back([this] { RunIo(); });
    IsStarted = true;
}

void WebSocketServer::Stop() {
    if (!IsStarted) {
        IsStopped = true;
        return;
    }
    if (CurrentIoServer == this)
        throw std::logic_error("The WebSocket server cannot be stopped from its own I/O thread");
    {
        std::lock_guard lock(_mutex);
        IsStopping = true;
    }
    net::post(_acceptor->get_executor(), [this] {
        boost::system::error_code ignored;
        _acceptor->close(ignored);
    });
    for (const auto& session : UnfinishedSessions())
        session->CloseGoingAway();
    if (!WaitUntil([this] { return _unfinished.empty(); }, GracefulCloseTimeout)) {
        for (const auto& session : UnfinishedSessions())
            session->Abort();
    }
    // Without the guard the threads return once the last socket operation has ended.
    _work.reset();
    if (!WaitUntil([this] { return _runningThreads == 0; }, DrainTimeout))
        Io.stop();
    for (auto& thread : _threads)
        thread.join();
    _threads.clear();
    _acceptor.reset();
    Registry->Clear();
    IsStarted = false;
    IsStopped = true;
}

std::optional<std::string> WebSocketServer::Address() const {
    if (IsStopped)
        return std::nullopt;
    if (Listen.Port != 0 || !IsStarted)
        return "ws://" + Configured;
    return "ws://" + (Listen.IsIpv6 ? "[" + Listen.Host + "]" : Listen.Host) + ":" +
           std::to_string(_boundPort);
}

void WebSocketServer::OnFinished(const WebSocketSession& session, bool wasOpened) {
    {
        std::lock_guard lock(_mutex);
        std::erase_if(_unfinished, [&session](const auto& entry) {
            const auto locked = entry.lock();
            return !locked || locked.get() == &session;
        });
    }
    _changed.notify_all();
    Registry->OnClosed(session, wasOpened);
}

void WebSocketServer::Accept() {
    _acceptor->async_accept(net::make_strand(Io),
                            [self = shared_from_this()](boost::system::error_code error, tcp::socket socket) {
                                self->OnAccept(error, std::move(socket));
                            });
}

void WebSocketServer::OnAccept(boost::system::error_code error, tcp::socket socket) {
    if (!_acceptor->is_open())
        return;
    if (!error) {
        // Game messages are small and answered at once (ping, pong, states): waiting to fill a
        // segment would hold each one back until the peer's delayed acknowledgement.
        boost::system::error_code ignored;
        socket.set_option(tcp::no_delay(true), ignored);
        auto session = MakeWebSocketSession(shared_from_this(), std::move(socket));
        {
            // Checked under the lock that Stop sets it under: a session is either refused
            // here or in the snapshot of sessions that Stop closes.
            std::lock_guard lock(_mutex);
            if (IsStopping)
                return;
            _unfinished.push_back(session);
        }
        session->Run();
    }
    // A failed accept (for example, out of file descriptors) costs that client only.
    Accept();
}

void WebSocketServer::RunIo() {
    CurrentIoServer = this;
    // A handler that throws is logged and the thread goes back to work.
    for (bool ended = false; !ended;)
        RunGuarded([&] {
            Io.run();
            ended = true;
        });
    {
        std::lock_guard lock(_mutex);
        --_runningThreads;
    }
    _changed.notify_all();
}

std::vector<std::shared_ptr<WebSocketSession>> WebSocketServer::UnfinishedSessions() const {
    std::vector<std::shared_ptr<WebSocketSession>> sessions;
    std::lock_guard lock(_mutex);
    for (const auto& entry : _unfinished) {
        if (auto session = entry.lock())
            sessions.push_back(std::move(session));
    }
    return sessions;
}

bool WebSocketServer::WaitUntil(const std::function<bool()>& done,
                                std::chrono::steady_clock::duration timeout) {
    std::unique_lock lock(_mutex);
    return _changed.wait_for(lock, timeout, done);
}

} // namespace Tralvonic
