#pragma once
// The web console's part of tralvonic-host's command line:
//   --console-port N     the console's port on 127.0.0.1 (default 38090; 0: any free port)
//   --no-console         no console at all
//   --game-link ADDRESS  where the console listens to the plugin's game link, as the plugin's
//                        WebSocketAddress is written (default 127.0.0.1:38088)

#include <cstdint>
#include <functional>
#include <string>

namespace Tralvonic::Sim::Host {

struct ConsoleOptions {
    bool Enabled = true;
    std::uint16_t Port = 38090;
    std::string GameLinkHost = "127.0.0.1";
    std::uint16_t GameLinkPort = 38088;
};

inline constexpr const char* ConsoleUsage = "[--console-port N] [--no-console] [--game-link HOST:PORT]";

// True when `argument` is one of the console's options; its value, where it takes one, comes
// from `value`. Throws std::invalid_argument for a value it cannot use.
bool ParseConsoleOption(const std::string& argument, const std::function<std::string()>& value,
                        ConsoleOptions& options);

} // namespace Tralvonic::Sim::Host
