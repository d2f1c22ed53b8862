#pragma once
// A loopback port that something else already listens on, for tests of a game link that
// cannot get its address. Released when the object goes.

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace Tralvonic::Testing {

class OccupiedPort {
public:
    OccupiedPort() : _socket(socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (_socket < 0 || bind(_socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            listen(_socket, 1) != 0 ||
            getsockname(_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            Release();
            throw std::runtime_error("could not occupy a loopback port");
        }
        _port = ntohs(address.sin_port);
    }
    ~OccupiedPort() { Release(); }
    OccupiedPort(const OccupiedPort&) = delete;
    OccupiedPort& operator=(const OccupiedPort&) = delete;

    int Port() const { return _port; }

private:
    void Release() {
        if (_socket >= 0) {
            close(_socket);
            _socket = -1;
        }
    }

    int _socket = -1;
    int _port = 0;
};

} // namespace Tralvonic::Testing
