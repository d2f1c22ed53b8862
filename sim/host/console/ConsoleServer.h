#pragma once
// The console's HTTP server on 127.0.0.1: requests answered by Routes, and live event
// streams (server-sent events) that get the scene whenever it changes, checked every
// PushIntervalMs. Bounded: MaxConnections sockets at once, MaxEventStreams of them streams,
// request headers and bodies limited (413 past them), idle connections closed. Everything
// runs on the console's one I/O thread; the server stops with that context.

#include <boost/asio/io_context.hpp>

#include <cstdint>
#include <memory>

namespace Tralvonic::Sim::Host {

class Routes;
struct ConsoleListener; // ConsoleServer.cpp

struct ConsoleLimits {
    int MaxConnections = 16;
    int MaxEventStreams = 8;
    std::size_t MaxHeaderBytes = 8 * 1024;
    std::size_t MaxBodyBytes = 4 * 1024;
};

class ConsoleServer {
public:
    static constexpr int PushIntervalMs = 100;

    // Binds 127.0.0.1:`port` (0: any free port). Throws std::runtime_error when it cannot.
    ConsoleServer(boost::asio::io_context& io, const Routes& routes, std::uint16_t port,
                  ConsoleLimits limits = {});
    ~ConsoleServer();
    ConsoleServer(const ConsoleServer&) = delete;
    ConsoleServer& operator=(const ConsoleServer&) = delete;

    std::uint16_t Port() const;
    // Starts accepting and pushing; from then on it runs by itself on the context.
    void Start();

private:
    std::shared_ptr<ConsoleListener> _listener;
};

} // namespace Tralvonic::Sim::Host
