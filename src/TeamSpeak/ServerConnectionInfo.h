#pragma once
// Where a server tab was told to connect: the address as the user typed it and the port.
// A plain value; safe on any thread.

#include <cstdint>
#include <string>

namespace TeamSpeak {

struct ServerConnectionInfo {
    std::string Host;
    std::uint16_t Port = 0;

    bool operator==(const ServerConnectionInfo&) const = default;
};

} // namespace TeamSpeak
