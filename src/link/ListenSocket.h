#pragma once
// Claims the listening address for this one socket, before bind. On Linux SO_REUSEADDR, so
// that a plugin started again can listen while the last run's connections linger in TIME_WAIT;
// Linux still refuses an address that another socket listens on (ListenSocketPosix.cpp). On
// Windows SO_REUSEADDR would let the game link share a port that another program listens on;
// SO_EXCLUSIVEADDRUSE refuses that, and lingering connections do not block a listener there
// (ListenSocketWin32.cpp).

#include <boost/asio/ip/tcp.hpp>
#include <boost/system/error_code.hpp>

namespace Tralvonic {

void ClaimListeningAddress(boost::asio::ip::tcp::acceptor& acceptor, boost::system::error_code& error);

} // namespace Tralvonic
