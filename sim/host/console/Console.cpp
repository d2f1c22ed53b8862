#include "Console.h"

#include "ConsoleServer.h"
#include "GameLinkRecords.h"
#include "GameLinkWatcher.h"
#include "Routes.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>

#include <cstdio>
#include <exception>
#include <thread>

namespace Tralvonic::Sim::Host {

namespace net = boost::asio;

// Declared in the order they are needed; the context goes before anything its handlers use.
struct Console::Parts {
    Parts(SimulatedClient& client, SimServer& server, const GameView* gameView, const ConsoleOptions& options)
        : Records(options.GameLinkHost + ":" + std::to_string(options.GameLinkPort)),
          Pages(client, server, gameView, Records),
          Watcher(Io, options.GameLinkHost, options.GameLinkPort, Records), Server(Io, Pages, options.Port) {}

    void Run() {
        // A handler that throws is reported and the console goes on serving.
        for (;;) {
            try {
                Io.run();
                return;
            } catch (const std::exception& error) {
                std::printf("[console] %s\n", error.what());
            } catch (...) {
                std::printf("[console] unknown failure\n");
            }
        }
    }

    GameLinkRecords Records;
    Routes Pages;
    net::io_context Io{1};
    net::executor_work_guard<net::io_context::executor_type> Work{net::make_work_guard(Io)};
    GameLinkWatcher Watcher;
    ConsoleServer Server;
    std::thread Thread; // owned; joined in Stop
};

Console::Console(SimulatedClient& client, SimServer& server, const GameView* gameView,
                 const ConsoleOptions& options) {
    if (!options.Enabled) {
        return;
    }
    try {
        _parts = std::make_unique<Parts>(client, server, gameView, options);
    } catch (const std::exception& error) {
        std::printf("[sim] console not started: %s\n", error.what());
        return;
    }
    _parts->Watcher.Start();
    _parts->Server.Start();
    _parts->Thread = std::thread([parts = _parts.get()] { parts->Run(); });
    std::printf("[sim] console at http://127.0.0.1:%u/\n", static_cast<unsigned int>(_parts->Server.Port()));
}

Console::~Console() {
    Stop();
}

void Console::Stop() {
    if (!_parts) {
        return;
    }
    // Open page streams and the game link are dropped, not closed politely: the host is
    // going, and nothing of the console may outlive this call.
    _parts->Io.stop();
    if (_parts->Thread.joinable()) {
        _parts->Thread.join();
    }
    _parts.reset();
}

} // namespace Tralvonic::Sim::Host
