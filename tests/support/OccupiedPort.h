#pragma once
// A loopback port that something else already listens on, for tests of a game link that
// cannot get its address. Released when the object goes.

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <stdexcept>

namespace Tralvonic::Testing {

class OccupiedPort {
public:
    // A plain listener, as another program would open it: no address option of its own.
    OccupiedPort() : _acceptor(_io) {
        namespace net = boost::asio;
        boost::system::error_code error;
        const net::ip::tcp::endpoint endpoint(net::ip::address_v4::loopback(), 0);
        _acceptor.open(endpoint.protocol(), error);
        if (!error)
            _acceptor.bind(endpoint, error);
        if (!error)
            _acceptor.listen(1, error);
        if (error)
            throw std::runtime_error("could not occupy a loopback port: " + error.message());
        _port = _acceptor.local_endpoint().port();
    }
    OccupiedPort(const OccupiedPort&) = delete;
    OccupiedPort& operator=(const OccupiedPort&) = delete;

    int Port() const { return _port; }

private:
    boost::asio::io_context _io;
    boost::asio::ip::tcp::acceptor _acceptor;
    int _port = 0;
};

} // namespace Tralvonic::Testing
