#include "link/ListenSocket.h"

namespace Tralvonic {

void ClaimListeningAddress(boost::asio::ip::tcp::acceptor& acceptor, boost::system::error_code& error) {
    acceptor.set_option(boost::asio::socket_base::reuse_address(true), error);
}

} // namespace Tralvonic
