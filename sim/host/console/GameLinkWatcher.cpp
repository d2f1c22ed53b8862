// The game-link client on Boost.Beast: connect, handshake, a read loop and the retry timer.
#include "GameLinkWatcher.h"

#include "GameLinkRecords.h"

#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

#include <optional>
#include <stdexcept>

namespace Tralvonic::Sim::Host {

namespace {

namespace beast = boost::beast;
namespace net = boost::asio;
namespace websocket = boost::beast::websocket;
using tcp = boost::asio::ip::tcp;

constexpr auto RetryInterval = std::chrono::seconds(1);
constexpr auto HandshakeTimeout = std::chrono::seconds(5);
// Far above anything the plugin broadcasts; a larger message ends the connection.
constexpr std::size_t MaxMessageBytes = 1024 * 1024;

} // namespace

struct GameLinkWatcher::Link : std::enable_shared_from_this<GameLinkWatcher::Link> {
    Link(net::io_context& io, tcp::endpoint endpoint, GameLinkRecords& records)
        : Io(io), Endpoint(std::move(endpoint)), Records(records), Retry(io) {}

    void Connect() {
        Stream.emplace(Io);
        Stream->read_message_max(MaxMessageBytes);
        beast::get_lowest_layer(*Stream).expires_after(HandshakeTimeout);
        beast::get_lowest_layer(*Stream).async_connect(
            Endpoint, [self = shared_from_this()](beast::error_code error) { self->OnConnected(error); });
    }

    void OnConnected(beast::error_code error) {
        if (error) {
            return RetryLater();
        }
        const std::string host = Endpoint.address().is_v6() ? "[" + Endpoint.address().to_string() + "]"
                                                            : Endpoint.address().to_string();
        Stream->async_handshake(host + ":" + std::to_string(Endpoint.port()), "/",
                                [self = shared_from_this()](beast::error_code handshakeError) {
                                    self->OnHandshake(handshakeError);
                                });
    }

    void OnHandshake(beast::error_code error) {
        if (error) {
            return RetryLater();
        }
        // The plugin's server may keep the link idle for as long as no game talks to it.
        beast::get_lowest_layer(*Stream).expires_never();
        Stream->set_option(websocket::stream_base::timeout::suggested(beast::role_type::client));
        Records.SetConnected(true);
        Read();
    }

    void Read() {
        Stream->async_read(Buffer, [self = shared_from_this()](beast::error_code error, std::size_t) {
            self->OnRead(error);
        });
    }

    void OnRead(beast::error_code error) {
        if (error) {
            Records.SetConnected(false);
            return RetryLater();
        }
        if (Stream->got_text()) {
            Records.Add(beast::buffers_to_string(Buffer.data()));
        }
        Buffer.consume(Buffer.size());
        Read();
    }

    void RetryLater() {
        Buffer.consume(Buffer.size());
        Stream.reset();
        Retry.expires_after(RetryInterval);
        Retry.async_wait([self = shared_from_this()](beast::error_code error) {
            if (!error) {
                self->Connect();
            }
        });
    }

    net::io_context& Io;
    const tcp::endpoint Endpoint;
    GameLinkRecords& Records;
    net::steady_timer Retry;
    std::optional<websocket::stream<beast::tcp_stream>> Stream;
    beast::flat_buffer Buffer;
};

GameLinkWatcher::GameLinkWatcher(net::io_context& io, const std::string& host, std::uint16_t port,
                                 GameLinkRecords& records) {
    beast::error_code error;
    const auto address = net::ip::make_address(host, error);
    if (error) {
        throw std::invalid_argument("the game link's host must be an IP address, not " + host);
    }
    _link = std::make_shared<Link>(io, tcp::endpoint(address, port), records);
}

GameLinkWatcher::~GameLinkWatcher() = default;

void GameLinkWatcher::Start() {
    net::post(_link->Io, [link = _link] { link->Connect(); });
}

} // namespace Tralvonic::Sim::Host
