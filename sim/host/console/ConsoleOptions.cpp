#include "ConsoleOptions.h"

#include <charconv>
#include <stdexcept>

namespace Tralvonic::Sim::Host {

namespace {

std::uint16_t PortOf(const std::string& text, const std::string& option) {
    unsigned int port = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), port);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || port > 65535) {
        throw std::invalid_argument(option + " wants a port from 0 to 65535, not " + text);
    }
    return static_cast<std::uint16_t>(port);
}

// "127.0.0.1:38088" or "[::1]:38088"; the host is checked when the console connects.
void ReadGameLink(const std::string& address, ConsoleOptions& options) {
    const auto colon = address.rfind(':');
    if (colon == std::string::npos || colon == 0) {
        throw std::invalid_argument("--game-link wants HOST:PORT, not " + address);
    }
    std::string host = address.substr(0, colon);
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    const std::uint16_t port = PortOf(address.substr(colon + 1), "--game-link");
    if (port == 0) {
        throw std::invalid_argument("--game-link needs the port the plugin listens on, not 0");
    }
    options.GameLinkHost = host;
    options.GameLinkPort = port;
}

} // namespace

bool ParseConsoleOption(const std::string& argument, const std::function<std::string()>& value,
                        ConsoleOptions& options) {
    if (argument == "--console-port") {
        options.Port = PortOf(value(), argument);
        return true;
    }
    if (argument == "--no-console") {
        options.Enabled = false;
        return true;
    }
    if (argument == "--game-link") {
        ReadGameLink(value(), options);
        return true;
    }
    return false;
}

} // namespace Tralvonic::Sim::Host
