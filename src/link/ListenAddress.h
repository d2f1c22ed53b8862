#pragma once
// The server's listening address as the settings write it: an IPv4 address or a bracketed
// IPv6 address, a colon and a port ("127.0.0.1:38088", "[::1]:38088", "0.0.0.0:38088").

#include <cstdint>
#include <string>
#include <string_view>

namespace Tralvonic {

struct ListenAddress {
    // The address without brackets, in the form it was written.
    std::string Host;
    std::uint16_t Port = 0;
    bool IsIpv6 = false;

    // Throws std::invalid_argument with a message naming the text when it is not an IP
    // address and a port; host names are refused.
    static ListenAddress Parse(std::string_view text);
};

} // namespace Tralvonic
