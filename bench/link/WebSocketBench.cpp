// What the plugin's WebSocket costs over bare Boost.Beast: round trips of a small message
// on one connection (a game's request and the plugin's answer), and one message broadcast
// to 16 connections (the plugin's state messages). Each is measured against a minimal
// Beast server written here with the same thread count, in the same run, with the same
// synchronous Beast client. The plugin's server logs through the simulated host at level
// Info, as it would run, so the per-message log calls are filtered, not skipped.

#include "SimulatedClient.h"

#include "TeamSpeak/Base.h"
#include "link/WebSocket.h"

#include <benchmark/benchmark.h>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace beast = boost::beast;
namespace net = boost::asio;
namespace websocket = boost::beast::websocket;
using tcp = boost::asio::ip::tcp;

constexpr int BroadcastClients = 16;
const std::string SmallMessage = R"({"Command":3,"ServerUniqueIdentifier":"abc=","Parameter":null})";

// --- the bare Beast server: echo every text, broadcast on request ----------------------

class BareSession : public std::enable_shared_from_this<BareSession> {
public:
    explicit BareSession(tcp::socket socket) : _ws(std::move(socket)) {}

    // `opened` runs once the handshake is done; only then may the session be written to.
    void Run(std::function<void(std::shared_ptr<BareSession>)> opened) {
        _ws.async_accept([self = shared_from_this(), opened = std::move(opened)](beast::error_code error) {
            if (error)
                return;
            opened(self);
            self->Read();
        });
    }

    void Send(std::shared_ptr<const std::string> text) {
        net::post(_ws.get_executor(), [self = shared_from_this(), text = std::move(text)] {
            self->_queue.push_back(text);
            if (self->_queue.size() == 1)
                self->Write();
        });
    }

private:
    void Read() {
        _ws.async_read(_buffer, [self = shared_from_this()](beast::error_code error, std::size_t) {
            if (error)
                return;
            auto text = std::make_shared<const std::string>(beast::buffers_to_string(self->_buffer.data()));
            self->_buffer.consume(self->_buffer.size());
            self->_queue.push_back(std::move(text));
            if (self->_queue.size() == 1)
                self->Write();
            self->Read();
        });
    }

    void Write() {
        _ws.text(true);
        _ws.async_write(net::buffer(*_queue.front()),
                        [self = shared_from_this()](beast::error_code error, std::size_t) {
                            self->_queue.pop_front();
                            if (!error && !self->_queue.empty())
                                self->Write();
                        });
    }

    websocket::stream<beast::tcp_stream> _ws;
    beast::flat_buffer _buffer;
    std::deque<std::shared_ptr<const std::string>> _queue;
};

class BareServer {
public:
    BareServer() : _acceptor(_io, tcp::endpoint(net::ip::make_address("127.0.0.1"), 0)) {
        Accept();
        for (int i = 0; i < 2; ++i)
            _threads.emplace_back([this] { _io.run(); });
    }

    ~BareServer() {
        _io.stop();
        for (auto& thread : _threads)
            thread.join();
    }

    std::uint16_t Port() const { return _acceptor.local_endpoint().port(); }

    std::size_t Sessions() const {
        std::lock_guard lock(_mutex);
        return _sessions.size();
    }

    void Broadcast(const std::string& text) {
        std::vector<std::shared_ptr<BareSession>> sessions;
        {
            std::lock_guard lock(_mutex);
            sessions = _sessions;
        }
        const auto message = std::make_shared<const std::string>(text);
        for (const auto& session : sessions)
            session->Send(message);
    }

private:
    void Accept() {
        _acceptor.async_accept(net::make_strand(_io), [this](beast::error_code error, tcp::socket socket) {
            if (error)
                return;
            std::make_shared<BareSession>(std::move(socket))
                ->Run([this](std::shared_ptr<BareSession> session) {
                    std::lock_guard lock(_mutex);
                    _sessions.push_back(std::move(session));
                });
            Accept();
        });
    }

    net::io_context _io{2};
    tcp::acceptor _acceptor;
    std::vector<std::thread> _threads;
    mutable std::mutex _mutex;
    std::vector<std::shared_ptr<BareSession>> _sessions;
};

// --- the client and the two set-ups -----------------------------------------------------

class Client {
public:
    explicit Client(std::uint16_t port) : _ws(_io) {
        net::connect(_ws.next_layer(), std::vector{tcp::endpoint(net::ip::make_address("127.0.0.1"), port)});
        _ws.handshake("127.0.0.1:" + std::to_string(port), "/");
        _ws.text(true);
    }

    void Write(const std::string& text) { _ws.write(net::buffer(text)); }

    std::size_t Read() {
        _buffer.consume(_buffer.size());
        return _ws.read(_buffer);
    }

private:
    net::io_context _io;
    websocket::stream<tcp::socket> _ws;
    beast::flat_buffer _buffer;
};

// Setting up only: until the server has listed every client.
template <typename Predicate> void WaitUntil(Predicate listed) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!listed() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
}

struct PluginServer {
    PluginServer() {
        TeamSpeak::Base::SetFunctions(Sim.Functions());
        Server.SetMessageHandler([this](const std::shared_ptr<Tralvonic::Connection>& from,
                                        const std::string& text) { Server.Send(from, text); });
        Server.Start();
        const auto address = *Server.Address();
        Port = static_cast<std::uint16_t>(std::stoi(address.substr(address.rfind(':') + 1)));
    }

    Tralvonic::Sim::SimulatedClient Sim;
    Tralvonic::WebSocket Server{"127.0.0.1:0"};
    std::uint16_t Port = 0;
};

void RoundTrip(benchmark::State& state, std::uint16_t port) {
    Client client(port);
    for (auto _ : state) {
        client.Write(SmallMessage);
        benchmark::DoNotOptimize(client.Read());
    }
    state.SetItemsProcessed(state.iterations());
}

template <typename Server>
void BroadcastToAll(benchmark::State& state, Server& server, std::uint16_t port,
                    const std::function<std::size_t()>& listed) {
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < BroadcastClients; ++i)
        clients.push_back(std::make_unique<Client>(port));
    WaitUntil([&] { return listed() == BroadcastClients; });
    for (auto _ : state) {
        server.Broadcast(SmallMessage);
        for (auto& client : clients)
            benchmark::DoNotOptimize(client->Read());
    }
    state.SetItemsProcessed(state.iterations() * BroadcastClients);
}

void RoundTripTralvonic(benchmark::State& state) {
    PluginServer plugin;
    RoundTrip(state, plugin.Port);
}

void RoundTripBareBeast(benchmark::State& state) {
    BareServer bare;
    RoundTrip(state, bare.Port());
}

void Broadcast16Tralvonic(benchmark::State& state) {
    PluginServer plugin;
    BroadcastToAll(state, plugin.Server, plugin.Port,
                   [&] { return static_cast<std::size_t>(plugin.Server.OpenConnections()); });
}

void Broadcast16BareBeast(benchmark::State& state) {
    BareServer bare;
    BroadcastToAll(state, bare, bare.Port(), [&] { return bare.Sessions(); });
}

BENCHMARK(RoundTripTralvonic)->UseRealTime();
BENCHMARK(RoundTripBareBeast)->UseRealTime();
BENCHMARK(Broadcast16Tralvonic)->UseRealTime();
BENCHMARK(Broadcast16BareBeast)->UseRealTime();

} // namespace
