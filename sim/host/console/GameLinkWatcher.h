#pragma once
// The console's ear on the plugin's game link: a WebSocket client, without an Origin header,
// that connects to the plugin's server and hands every message the plugin broadcasts to
// GameLinkRecords. It never sends anything, so the plugin's answers and keepalive stay the
// game's business. While the link is down it tries again every second. Runs on the console's
// I/O context only; stopped by stopping that context.

#include <boost/asio/io_context.hpp>

#include <cstdint>
#include <memory>
#include <string>

namespace Tralvonic::Sim::Host {

class GameLinkRecords;

class GameLinkWatcher {
public:
    // Throws std::invalid_argument when `host` is no IP address.
    GameLinkWatcher(boost::asio::io_context& io, const std::string& host, std::uint16_t port,
                    GameLinkRecords& records);
    ~GameLinkWatcher();
    GameLinkWatcher(const GameLinkWatcher&) = delete;
    GameLinkWatcher& operator=(const GameLinkWatcher&) = delete;

    // Starts the first attempt; from then on it runs by itself on the context.
    void Start();

private:
    struct Link;
    std::shared_ptr<Link> _link;
};

} // namespace Tralvonic::Sim::Host
