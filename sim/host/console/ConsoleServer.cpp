// The console's HTTP server on Boost.Beast: the listener, one session per connection that
// answers requests in turn or becomes an event stream, and the push of changed scenes.
#include "ConsoleServer.h"

#include "Routes.h"

#include "link/ListenSocket.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Tralvonic::Sim::Host {

namespace {

namespace beast = boost::beast;
namespace http = boost::beast::http;
namespace net = boost::asio;
using tcp = boost::asio::ip::tcp;

// A page that sends nothing for this long gives its connection back.
constexpr auto IdleTimeout = std::chrono::seconds(15);
// A stream whose page takes no event for this long is gone.
constexpr auto WriteTimeout = std::chrono::seconds(10);

constexpr std::string_view EventStreamHead = "HTTP/1.1 200 OK\r\n"
                                             "Content-Type: text/event-stream\r\n"
                                             "Cache-Control: no-store\r\n"
                                             "Connection: close\r\n\r\n";

std::shared_ptr<const std::string> StateEvent(const std::string& state) {
    return std::make_shared<const std::string>("event: state\ndata: " + state + "\n\n");
}

} // namespace

class Session;

struct ConsoleListener : std::enable_shared_from_this<ConsoleListener> {
    ConsoleListener(net::io_context& io, const Routes& routes, ConsoleLimits limits)
        : Io(io), Pages(routes), Limits(limits), Acceptor(io), PushTimer(io) {}

    void Accept();
    void Push();
    // The latest scene, to every stream; `force` also when it did not change.
    void PushState(bool force);
    bool AddStream(const std::shared_ptr<Session>& session);

    net::io_context& Io;
    const Routes& Pages;
    const ConsoleLimits Limits;
    tcp::acceptor Acceptor;
    net::steady_timer PushTimer;
    // I/O thread only
    int Connections = 0;
    std::vector<std::weak_ptr<Session>> Streams;
    std::string LastState;
};

// One page connection. Requests are read and answered one after another; GET /api/events
// turns the connection into a stream that only sends.
class Session : public std::enable_shared_from_this<Session> {
public:
    Session(std::shared_ptr<ConsoleListener> listener, tcp::socket socket)
        : _listener(std::move(listener)), _stream(std::move(socket)) {
        ++_listener->Connections;
    }
    ~Session() { --_listener->Connections; }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void Run(bool isOverLimit) {
        if (isOverLimit) {
            return Reply({503, "text/plain", "too many console connections\n"}, false);
        }
        ReadRequest();
    }

    // A new scene for a stream; while a write runs, only the newest waits.
    void Send(std::shared_ptr<const std::string> event) {
        _waiting = std::move(event);
        if (!_writing) {
            WriteWaiting();
        }
    }

private:
    void ReadRequest() {
        _parser.emplace();
        _parser->header_limit(static_cast<std::uint32_t>(_listener->Limits.MaxHeaderBytes));
        _parser->body_limit(_listener->Limits.MaxBodyBytes);
        _stream.expires_after(IdleTimeout);
        http::async_read(
            _stream, _buffer, *_parser,
            [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnRequest(error); });
    }

    void OnRequest(beast::error_code error) {
        if (error == http::error::body_limit || error == http::error::header_limit ||
            error == http::error::buffer_overflow) {
            return Reply({413, "text/plain", "request too large\n"}, false);
        }
        if (error) {
            return Close();
        }
        const auto& request = _parser->get();
        if (request.target() == EventStreamPath && request.method() == http::verb::get) {
            return StartStream();
        }
        Reply(_listener->Pages.Answer(std::string_view(request.method_string()),
                                      std::string_view(request.target()), request.body()),
              request.keep_alive(), request.method() == http::verb::head);
    }

    void Reply(const HttpAnswer& answer, bool keepAlive, bool headOnly = false) {
        auto response =
            std::make_shared<http::response<http::string_body>>(static_cast<http::status>(answer.Status), 11);
        response->set(http::field::content_type, answer.ContentType);
        response->set(http::field::cache_control, "no-store");
        response->body() = headOnly ? std::string() : answer.Body;
        response->prepare_payload();
        if (headOnly) {
            response->content_length(answer.Body.size());
        }
        response->keep_alive(keepAlive);
        _stream.expires_after(WriteTimeout);
        http::async_write(
            _stream, *response,
            [self = shared_from_this(), response, keepAlive](beast::error_code error, std::size_t) {
                if (error || !keepAlive) {
                    return self->Close();
                }
                self->ReadRequest();
            });
    }

    void StartStream() {
        if (!_listener->AddStream(shared_from_this())) {
            return Reply({503, "text/plain", "too many console pages open\n"}, false);
        }
        _writing = true;
        _stream.expires_after(WriteTimeout);
        net::async_write(
            _stream, net::buffer(EventStreamHead),
            [self = shared_from_this()](beast::error_code error, std::size_t) { self->OnWritten(error); });
        WatchForClose();
        _listener->PushState(true);
    }

    // A stream only sends; a read that ends tells that the page went away.
    void WatchForClose() {
        _stream.socket().async_read_some(net::buffer(_ignored),
                                         [self = shared_from_this()](beast::error_code error, std::size_t) {
                                             if (error) {
                                                 return self->Close();
                                             }
                                             self->WatchForClose();
                                         });
    }

    void WriteWaiting() {
        if (!_waiting || _closed) {
            return;
        }
        _writing = true;
        auto event = std::move(_waiting);
        _stream.expires_after(WriteTimeout);
        net::async_write(_stream, net::buffer(*event),
                         [self = shared_from_this(), event](beast::error_code error, std::size_t) {
                             self->OnWritten(error);
                         });
    }

    void OnWritten(beast::error_code error) {
        _writing = false;
        if (error) {
            return Close();
        }
        // The timeout guards writes only; the stream may wait for changes for ever.
        _stream.expires_never();
        WriteWaiting();
    }

    void Close() {
        if (_closed) {
            return;
        }
        _closed = true;
        beast::error_code ignored;
        _stream.socket().shutdown(tcp::socket::shutdown_both, ignored);
        _stream.close();
    }

    const std::shared_ptr<ConsoleListener> _listener;
    beast::tcp_stream _stream;
    beast::flat_buffer _buffer{16 * 1024};
    std::optional<http::request_parser<http::string_body>> _parser;
    char _ignored[512];
    std::shared_ptr<const std::string> _waiting;
    bool _writing = false;
    bool _closed = false;
};

void ConsoleListener::Accept() {
    Acceptor.async_accept(Io, [self = shared_from_this()](beast::error_code error, tcp::socket socket) {
        if (!self->Acceptor.is_open()) {
            return;
        }
        if (!error) {
            auto session = std::make_shared<Session>(self, std::move(socket));
            session->Run(self->Connections > self->Limits.MaxConnections);
        }
        self->Accept();
    });
}

void ConsoleListener::Push() {
    PushTimer.expires_after(std::chrono::milliseconds(ConsoleServer::PushIntervalMs));
    PushTimer.async_wait([self = shared_from_this()](beast::error_code error) {
        if (error) {
            return;
        }
        self->PushState(false);
        self->Push();
    });
}

void ConsoleListener::PushState(bool force) {
    std::erase_if(Streams, [](const auto& stream) { return stream.expired(); });
    if (Streams.empty()) {
        return;
    }
    std::string state = Pages.State();
    if (!force && state == LastState) {
        return;
    }
    LastState = std::move(state);
    const auto event = StateEvent(LastState);
    for (const auto& weak : Streams) {
        if (const auto stream = weak.lock()) {
            stream->Send(event);
        }
    }
}

bool ConsoleListener::AddStream(const std::shared_ptr<Session>& session) {
    std::erase_if(Streams, [](const auto& stream) { return stream.expired(); });
    if (static_cast<int>(Streams.size()) >= Limits.MaxEventStreams) {
        return false;
    }
    Streams.push_back(session);
    return true;
}

ConsoleServer::ConsoleServer(net::io_context& io, const Routes& routes, std::uint16_t port,
                             ConsoleLimits limits)
    : _listener(std::make_shared<ConsoleListener>(io, routes, limits)) {
    const tcp::endpoint endpoint(net::ip::make_address_v4("127.0.0.1"), port);
    beast::error_code error;
    auto& acceptor = _listener->Acceptor;
    acceptor.open(endpoint.protocol(), error);
    if (!error) {
        Tralvonic::ClaimListeningAddress(acceptor, error);
    }
    if (!error) {
        acceptor.bind(endpoint, error);
    }
    if (!error) {
        acceptor.listen(net::socket_base::max_listen_connections, error);
    }
    if (error) {
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port) + ": " +
                                 error.message());
    }
}

ConsoleServer::~ConsoleServer() = default;

std::uint16_t ConsoleServer::Port() const {
    beast::error_code error;
    return _listener->Acceptor.local_endpoint(error).port();
}

void ConsoleServer::Start() {
    net::post(_listener->Io, [listener = _listener] {
        listener->Accept();
        listener->Push();
    });
}

} // namespace Tralvonic::Sim::Host
