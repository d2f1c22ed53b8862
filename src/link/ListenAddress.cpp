#include "link/ListenAddress.h"

#include <boost/asio/ip/address.hpp>

#include <charconv>
#include <stdexcept>

namespace Tralvonic {

namespace {

[[noreturn]] void Refuse(std::string_view text, std::string_view reason) {
    throw std::invalid_argument("WebSocket address \"" + std::string(text) +
                                "\" cannot be used: " + std::string(reason));
}

std::uint16_t ParsePort(std::string_view text, std::string_view port) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (port.empty() || error != std::errc() || end != port.data() + port.size() || value > 65535)
        Refuse(text, "the port must be a number from 0 to 65535");
    return static_cast<std::uint16_t>(value);
}

} // namespace

ListenAddress ListenAddress::Parse(std::string_view text) {
    ListenAddress result;
    std::string_view port;
    if (text.starts_with('[')) {
        const auto close = text.find("]:");
        if (close == std::string_view::npos)
            Refuse(text, "an IPv6 address must be written in brackets followed by a colon and a port");
        result.Host = std::string(text.substr(1, close - 1));
        result.IsIpv6 = true;
        port = text.substr(close + 2);
    } else {
        const auto colon = text.rfind(':');
        if (colon == std::string_view::npos)
            Refuse(text, "an IP address and a port are required");
        result.Host = std::string(text.substr(0, colon));
        port = text.substr(colon + 1);
        if (result.Host.find(':') != std::string::npos)
            Refuse(text, "an IPv6 address must be written in brackets");
    }
    boost::system::error_code error;
    bool isWritten = true;
    if (result.IsIpv6) {
        boost::asio::ip::make_address_v6(result.Host, error);
    } else {
        // Four decimal parts as the address writes itself: Windows also takes "127.1" and
        // parts with leading zeros, which Linux refuses, and the address must mean the same
        // on both.
        isWritten = boost::asio::ip::make_address_v4(result.Host, error).to_string() == result.Host;
    }
    if (error || !isWritten)
        Refuse(text, "\"" + result.Host + "\" is not an IP address");
    result.Port = ParsePort(text, port);
    return result;
}

} // namespace Tralvonic
