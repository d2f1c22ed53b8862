#include "link/ListenSocket.h"

#include <winsock2.h>

namespace Tralvonic {

void ClaimListeningAddress(boost::asio::ip::tcp::acceptor& acceptor, boost::system::error_code& error) {
    using ExclusiveAddressUse = boost::asio::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>;
    acceptor.set_option(ExclusiveAddressUse(true), error);
}

} // namespace Tralvonic
