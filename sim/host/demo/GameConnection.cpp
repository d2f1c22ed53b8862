#include "GameConnection.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/beast/core/buffers_to_string.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/websocket/stream.hpp>

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <mutex>

namespace Tralvonic::Sim::Host::Demo {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace websocket = boost::beast::websocket;

constexpr auto CloseDeadline = std::chrono::seconds(1);

// Everything but the phase belongs to the connection's thread.
// Handlers hold a plain pointer: the thread that runs them is joined before the session goes,
// and handlers still queued then are dropped with the context without running.
struct GameConnection::Session {
    enum class Phase { Connecting, Open, Ended };

    explicit Session(std::function<void(std::string)> handler) : onMessage(std::move(handler)) {}

    void Connect(const asio::ip::tcp::endpoint& endpoint, std::string host,
                 std::chrono::milliseconds timeout) {
        beast::get_lowest_layer(socket).expires_after(timeout);
        beast::get_lowest_layer(socket).async_connect(
            endpoint, [self = this, host = std::move(host)](beast::error_code error) {
                if (error) {
                    self->End("cannot connect: " + error.message());
                    return;
                }
                self->Handshake(host);
            });
    }

    void Handshake(const std::string& host) {
        socket.read_message_max(MaximumMessageBytes);
        socket.async_handshake(host, "/", [self = this](beast::error_code error) {
            if (error) {
                self->End("the WebSocket handshake failed: " + error.message());
                return;
            }
            beast::get_lowest_layer(self->socket).expires_never();
            self->socket.set_option(websocket::stream_base::timeout::suggested(beast::role_type::client));
            self->SetPhase(Phase::Open);
            self->Read();
        });
    }

    void Read() {
        socket.async_read(buffer, [self = this](beast::error_code error, std::size_t) {
            if (error) {
                self->End(error == websocket::error::closed ? "the plugin closed the connection"
                                                            : "the connection failed: " + error.message());
                return;
            }
            std::string text = beast::buffers_to_string(self->buffer.data());
            self->buffer.consume(self->buffer.size());
            if (self->socket.got_text()) {
                self->onMessage(std::move(text));
            }
            self->Read();
        });
    }

    void Queue(std::string text) {
        if (CurrentPhase() != Phase::Open) {
            return;
        }
        if (outgoing.size() >= MaximumQueuedMessages) {
            std::printf("[demo] the game link does not take messages fast enough; one is dropped\n");
            return;
        }
        outgoing.push_back(std::move(text));
        if (outgoing.size() == 1) {
            Write();
        }
    }

    void Write() {
        socket.text(true);
        socket.async_write(asio::buffer(outgoing.front()),
                           [self = this](beast::error_code error, std::size_t) {
                               if (error) {
                                   self->End("sending failed: " + error.message());
                                   return;
                               }
                               self->outgoing.pop_front();
                               if (!self->outgoing.empty()) {
                                   self->Write();
                               }
                           });
    }

    void StartClose() {
        if (CurrentPhase() != Phase::Open || closing) {
            return;
        }
        closing = true;
        socket.async_close(websocket::close_code::normal,
                           [self = this](beast::error_code) { self->End("the game closed the connection"); });
    }

    // A write still running keeps its message until its handler sees the error.
    void End(const std::string& reason) {
        {
            std::lock_guard lock(mutex);
            if (phase == Phase::Ended) {
                return;
            }
            phase = Phase::Ended;
            endReason = reason;
        }
        changed.notify_all();
        work.reset();
        beast::error_code ignored;
        beast::get_lowest_layer(socket).socket().close(ignored);
    }

    void SetPhase(Phase next) {
        {
            std::lock_guard lock(mutex);
            phase = next;
        }
        changed.notify_all();
    }

    Phase CurrentPhase() const {
        std::lock_guard lock(mutex);
        return phase;
    }

    // Until the phase leaves `from`, at most `timeout`; the phase then.
    Phase WaitWhile(Phase from, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, timeout, [&] { return phase != from; });
        return phase;
    }

    void WaitUntilEnded(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, timeout, [&] { return phase == Phase::Ended; });
    }

    asio::io_context context; // first: destroyed last, after everything its handlers touch
    asio::executor_work_guard<asio::io_context::executor_type> work{context.get_executor()};
    websocket::stream<beast::tcp_stream> socket{context};
    beast::flat_buffer buffer;
    std::deque<std::string> outgoing;
    bool closing = false;
    std::function<void(std::string)> onMessage;

    mutable std::mutex mutex;
    std::condition_variable changed;
    Phase phase = Phase::Connecting;      // guarded by mutex
    std::optional<std::string> endReason; // guarded by mutex
};

GameConnection::GameConnection(std::function<void(std::string)> onMessage)
    : _session(std::make_unique<Session>(std::move(onMessage))) {}

GameConnection::~GameConnection() {
    Close();
}

std::optional<std::string> GameConnection::Open(const std::string& host, unsigned short port,
                                                std::chrono::milliseconds timeout) {
    beast::error_code error;
    const auto address = asio::ip::make_address(host, error);
    if (error) {
        return "not an IP address: " + host;
    }
    const std::string hostHeader = (address.is_v6() ? "[" + host + "]" : host) + ":" + std::to_string(port);
    _session->Connect({address, port}, hostHeader, timeout);
    _thread = std::thread([session = _session.get()] {
        try {
            session->context.run();
        } catch (const std::exception& failure) {
            std::printf("[demo] the game link's thread failed: %s\n", failure.what());
        } catch (...) {
            std::printf("[demo] the game link's thread failed\n");
        }
    });
    // The connection's own deadline ends the attempt; the margin only covers its last steps.
    if (_session->WaitWhile(Session::Phase::Connecting, timeout + std::chrono::seconds(1)) ==
        Session::Phase::Open) {
        return std::nullopt;
    }
    Close();
    return EndReason().value_or("no answer within " + std::to_string(timeout.count()) + " ms");
}

void GameConnection::Send(std::string text) {
    asio::post(_session->context, [session = _session.get(), text = std::move(text)]() mutable {
        session->Queue(std::move(text));
    });
}

std::optional<std::string> GameConnection::EndReason() const {
    std::lock_guard lock(_session->mutex);
    return _session->endReason;
}

void GameConnection::Close() {
    if (!_thread.joinable()) {
        return;
    }
    asio::post(_session->context, [session = _session.get()] { session->StartClose(); });
    _session->WaitUntilEnded(CloseDeadline);
    _session->context.stop();
    _thread.join();
}

} // namespace Tralvonic::Sim::Host::Demo
