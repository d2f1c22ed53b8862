// How long the WebSocket's stop takes, which the host waits for before it may unload the
// plugin: with clients that answer the close handshake, and with one that never reads (so
// never answers) beside them.

#include "SimulatedClient.h"

#include "TeamSpeak/Base.h"
#include "link/WebSocket.h"

#include <benchmark/benchmark.h>
#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace net = boost::asio;
namespace websocket = boost::beast::websocket;
using tcp = boost::asio::ip::tcp;

// A game connection; an answering one reads on its own thread, which also answers the
// server's close, a silent one never reads at all.
class GameConnection {
public:
    GameConnection(std::uint16_t port, bool answers) {
        net::connect(_ws.next_layer(), std::vector{tcp::endpoint(net::ip::make_address("127.0.0.1"), port)});
        _ws.handshake("127.0.0.1:" + std::to_string(port), "/");
        if (answers)
            _reader = std::thread([this] {
                boost::beast::error_code error;
                while (!error)
                    _ws.read(_buffer, error);
            });
    }
    ~GameConnection() {
        if (_reader.joinable())
            _reader.join();
    }

private:
    net::io_context _io;
    websocket::stream<tcp::socket> _ws{_io};
    boost::beast::flat_buffer _buffer;
    std::thread _reader;
};

std::uint16_t PortOf(const Tralvonic::WebSocket& server) {
    const auto address = *server.Address();
    return static_cast<std::uint16_t>(std::stoi(address.substr(address.rfind(':') + 1)));
}

void StopWithClients(benchmark::State& state) {
    const bool withSilentOne = state.range(0) != 0;
    Tralvonic::Sim::SimulatedClient sim;
    TeamSpeak::Base::SetFunctions(sim.Functions());
    for (auto _ : state) {
        state.PauseTiming();
        Tralvonic::WebSocket server("127.0.0.1:0");
        server.Start();
        std::vector<std::unique_ptr<GameConnection>> games;
        for (int i = 0; i < 2; ++i)
            games.push_back(std::make_unique<GameConnection>(PortOf(server), true));
        if (withSilentOne)
            games.push_back(std::make_unique<GameConnection>(PortOf(server), false));
        // Until the server has listed all of them (setting up only).
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (server.OpenConnections() < static_cast<int>(games.size()) &&
               std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
        state.ResumeTiming();
        server.Stop();
        state.PauseTiming();
        games.clear();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(StopWithClients)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
