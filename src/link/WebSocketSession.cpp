// One game connection on Boost.Beast: the upgrade request read apart for its Origin, the
// handshake, the read loop that hands text messages to the registry, the write queue and
// the closes. The only translation unit that includes Beast.
#include "link/WebSocketServer.h"

#include "core/Logger.h"
#include "link/ConnectionId.h"

#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <algorithm>
#include <deque>

namespace Tralvonic {

namespace {

namespace beast = boost::beast;
namespace http = boost::beast::http;
namespace net = boost::asio;
namespace websocket = boost::beast::websocket;
using tcp = boost::asio::ip::tcp;

// Bounds the opening handshake and the close handshake of a single connection.
constexpr auto HandshakeTimeout = std::chrono::seconds(5);
constexpr std::size_t ReadChunkBytes = 64 * 1024;

// One client connection. Everything but the Connection accessors runs on its strand (the
// executor of its socket); pending operations hold the session alive.
class BeastSession final : public WebSocketSession, public std::enable_shared_from_this<BeastSession> {
public:
    BeastSession(std::shared_ptr<WebSocketServer> server, tcp::socket socket)
        : _server(std::move(server)), _strand(socket.get_executor()), _ws(std::move(socket)),
          _id(NewConnectionId()) {
        beast::error_code error;
        const auto remote = beast::get_lowest_layer(_ws).socket().remote_endpoint(error);
        if (!error) {
            _remoteAddress = remote.address().to_string();
            _remotePort = remote.port();
        }
    }

    const std::string& Id() const override { return _id; }
    const std::string& RemoteAddress() const override { return _remoteAddress; }
    std::uint16_t RemotePort() const override { return _remotePort; }
    const std::optional<std::string>& Origin() const override { return _origin; }
    bool IsAvailable() const override { return _available; }
    void SendText(std::shared_ptr<const std::string> text) override {
        if (_available && text)
            OnStrand([text = std::move(text)](BeastSession& self) mutable { self.Enqueue(std::move(text)); });
    }
    void Close() override { CloseWith(websocket::close_code::normal); }
    void CloseGoingAway() override { CloseWith(websocket::close_code::going_away); }
    void Abort() override {
        OnStrand([](BeastSession& self) { self.HardClose(); });
    }
    void Run() override {
        net::post(_strand, [self = shared_from_this()] { self->ReadRequest(); });
    }

private:
    void CloseWith(websocket::close_code code) {
        OnStrand([code](BeastSession& self) { self.StartClose(code); });
    }

    // Called from other threads. The capture is weak: after Stop nothing runs the queue, and
    // a strong one would keep the session, its server and the I/O context alive for ever.
    template <typename Action> void OnStrand(Action action) {
        net::post(_strand, [weak = weak_from_this(), action = std::move(action)]() mutable {
            if (const auto self = weak.lock())
                action(*self);
        });
    }

    void ReadRequest() {
        // The upgrade request is read apart, for its Origin header.
        beast::get_lowest_layer(_ws).expires_after(HandshakeTimeout);
        http::async_read(
            _ws.next_layer(), _buffer, _request,
            [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnRequest(error); });
    }

    void OnRequest(beast::error_code error) {
        if (error || _closing)
            return Finish();
        if (const auto origin = _request.find(http::field::origin); origin != _request.end())
            _origin = std::string(origin->value());
        // From here Beast's own timeouts guard the handshakes; an open game connection may idle.
        beast::get_lowest_layer(_ws).expires_never();
        _ws.set_option(
            websocket::stream_base::timeout{HandshakeTimeout, websocket::stream_base::none(), false});
        // Beast's own limit fails the connection at the frame header, and its teardown then
        // drains one chunk only: the client gets a reset instead of the close frame. The
        // reads below count the message themselves and close it with a clean handshake.
        _ws.read_message_max(0);
        _ws.control_callback([](websocket::frame_type kind, beast::string_view) {
            // Beast answers the ping itself, with its payload, while a read is pending.
            if (kind == websocket::frame_type::ping)
                Logger::LogExtensive("WS Ping received, sending pong...", LogChannel::WebSocketOnMessage);
        });
        // A request that is no upgrade gets Beast's error response and fails here.
        _ws.async_accept(_request, [self = shared_from_this()](beast::error_code acceptError) {
            self->OnAccepted(acceptError);
        });
    }

    void OnAccepted(beast::error_code error) {
        if (error)
            return Finish();
        _opened = true;
        _request = {};
        // Dropped while the handshake ran: already finished.
        if (_closing)
            return;
        if (_server->IsStopping)
            return StartClose(websocket::close_code::going_away);
        auto& registry = *_server->Registry;
        if (!registry.Admit(*this))
            return StartClose(websocket::close_code::policy_error);
        _available = true;
        registry.Add(shared_from_this());
        ReadMessage();
    }

    // Reads at most one byte more than a message may hold, so a too large one costs no more.
    void ReadMessage() {
        const auto room = _server->Limits.MaxMessageBytes + 1 - _buffer.size();
        _ws.async_read_some(
            _buffer, std::min(room, ReadChunkBytes),
            [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnMessage(error); });
    }

    void OnMessage(beast::error_code error) {
        if (error)
            return Finish();
        // Once a close handshake runs, Beast's close reads and discards what is left; a
        // dropped socket has finished the session already.
        if (_closing)
            return;
        if (_buffer.size() > _server->Limits.MaxMessageBytes) {
            Logger::LogWarning(ConnectionRegistry::Describe(*this) + " | Message larger than " +
                                   std::to_string(_server->Limits.MaxMessageBytes) +
                                   " bytes, closing connection with code 1009",
                               LogChannel::WebSocketOnMessage);
            _buffer.consume(_buffer.size());
            return StartClose(websocket::close_code::too_big);
        }
        if (!_ws.is_message_done())
            return ReadMessage();
        const bool isText = _ws.got_text();
        std::string text = isText ? beast::buffers_to_string(_buffer.data()) : std::string();
        _buffer.consume(_buffer.size());
        // The next read starts only after the handler: one connection's messages keep their order.
        if (isText)
            _server->Registry->Dispatch(shared_from_this(), text);
        if (!_closing)
            ReadMessage();
    }

    void Enqueue(std::shared_ptr<const std::string> text) {
        if (_closing || !_opened)
            return;
        const auto& limits = _server->Limits;
        const auto now = std::chrono::steady_clock::now();
        if (!_queue.empty() && now - _lastProgress > limits.StalledSendTimeout) {
            Logger::LogWarning(ConnectionRegistry::Describe(*this) + " | No message was taken for " +
                                   std::to_string(limits.StalledSendTimeout.count()) +
                                   " ms, the client does not read; closing connection...",
                               LogChannel::WebSocketSendMessage);
            return HardClose();
        }
        if (_queuedBytes + text->size() > limits.MaxQueuedBytes) {
            Logger::LogWarning(ConnectionRegistry::Describe(*this) + " | More than " +
                                   std::to_string(limits.MaxQueuedBytes) +
                                   " bytes wait to be sent, the client does not read; closing connection...",
                               LogChannel::WebSocketSendMessage);
            return HardClose();
        }
        _queuedBytes += text->size();
        _queue.push_back(std::move(text));
        if (_queue.size() == 1) {
            // A backlog starts: the client's time to take it runs from now.
            _lastProgress = now;
            WriteFront();
        }
    }

    // The queue is not empty exactly while a write is in flight; its front is that write.
    void WriteFront() {
        _ws.text(true);
        _ws.async_write(
            net::buffer(*_queue.front()),
            [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnWritten(error); });
    }

    void OnWritten(beast::error_code error) {
        _queuedBytes -= _queue.front()->size();
        _queue.pop_front();
        _lastProgress = std::chrono::steady_clock::now();
        if (error)
            return HardClose();
        if (_closing)
            _queue.clear(), _queuedBytes = 0;
        else if (!_queue.empty())
            WriteFront();
    }

    void StartClose(websocket::close_code code) {
        if (_closing)
            return;
        _closing = true;
        _available = false;
        if (!_opened)
            return HardClose();
        if (_queue.size() > 1) {
            _queue.resize(1);
            _queuedBytes = _queue.front()->size();
        }
        _isClosingGracefully = true;
        _ws.async_close(code, [self = shared_from_this()](beast::error_code) { self->Finish(); });
    }

    // Drops the socket and finishes at once; pending operations end with errors.
    void HardClose() {
        _isClosingGracefully = false;
        Finish();
    }

    // Every way out of a session ends here, once: the list and the close line.
    void Finish() {
        _closing = true;
        _available = false;
        // A running close handshake tears the socket down itself once it completes.
        if (!_isClosingGracefully) {
            beast::error_code ignored;
            beast::get_lowest_layer(_ws).socket().shutdown(tcp::socket::shutdown_both, ignored);
            beast::get_lowest_layer(_ws).close();
        }
        if (_finished)
            return;
        _finished = true;
        _server->OnFinished(*this, _opened);
    }

    const std::shared_ptr<WebSocketServer> _server;
    const net::any_io_executor _strand;
    websocket::stream<beast::tcp_stream> _ws;
    const std::string _id;
    std::string _remoteAddress;
    std::uint16_t _remotePort = 0;
    std::optional<std::string> _origin; // written before the session is listed, then constant
    std::atomic<bool> _available{false};

    // strand only
    beast::flat_buffer _buffer;
    http::request<http::empty_body> _request;
    std::deque<std::shared_ptr<const std::string>> _queue;
    std::size_t _queuedBytes = 0;
    // When the client last took a message, or its backlog began.
    std::chrono::steady_clock::time_point _lastProgress;
    bool _opened = false;
    bool _closing = false;
    bool _isClosingGracefully = false;
    bool _finished = false;
};
} // namespace

std::shared_ptr<WebSocketSession> MakeWebSocketSession(std::shared_ptr<WebSocketServer> server,
                                                       tcp::socket socket) {
    return std::make_shared<BeastSession>(std::move(server), std::move(socket));
}

} // namespace Tralvonic
