#include "unit/update/LocalHttpServer.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>

#include <condition_variable>
#include <mutex>
#include <thread>

namespace Tralvonic::Test {

namespace net = boost::asio;
namespace http = boost::beast::http;
using net::ip::tcp;

struct LocalHttpServer::Impl {
    net::io_context Io;
    tcp::acceptor Acceptor{Io, tcp::endpoint(net::ip::address_v4::loopback(), 0)};
    // Read once here: the acceptor belongs to the I/O thread from the start on.
    const unsigned short Port = Acceptor.local_endpoint().port();
    std::thread Thread;

    mutable std::mutex Mutex;
    mutable std::condition_variable Arrived;
    std::vector<ReceivedRequest> Received; // guarded by Mutex
    unsigned Status = 200;                 // guarded by Mutex
    std::string Body;                      // guarded by Mutex
    bool Hold = false;                     // guarded by Mutex

    struct Exchange {
        explicit Exchange(tcp::socket socket) : Socket(std::move(socket)) {}
        tcp::socket Socket;
        boost::beast::flat_buffer Buffer;
        http::request<http::string_body> Request;
        http::response<http::string_body> Response;
    };

    void Accept() {
        Acceptor.async_accept([this](boost::system::error_code error, tcp::socket socket) {
            if (error) {
                return;
            }
            auto exchange = std::make_shared<Exchange>(std::move(socket));
            http::async_read(exchange->Socket, exchange->Buffer, exchange->Request,
                             [this, exchange](boost::system::error_code readError, std::size_t) {
                                 if (!readError) {
                                     Respond(exchange);
                                 }
                             });
            Accept();
        });
    }

    void Respond(const std::shared_ptr<Exchange>& exchange) {
        bool hold = false;
        {
            std::lock_guard lock(Mutex);
            Received.push_back({std::string(exchange->Request.target()),
                                std::string(exchange->Request[http::field::user_agent])});
            hold = Hold;
            exchange->Response.result(Status);
            exchange->Response.body() = Body;
        }
        Arrived.notify_all();
        if (hold) {
            // The socket stays open until the server stops: a service that never answers.
            Held.push_back(exchange);
            return;
        }
        exchange->Response.version(11);
        exchange->Response.keep_alive(false);
        exchange->Response.prepare_payload();
        http::async_write(exchange->Socket, exchange->Response,
                          [exchange](boost::system::error_code, std::size_t) {
                              boost::system::error_code ignored;
                              exchange->Socket.shutdown(tcp::socket::shutdown_both, ignored);
                          });
    }

    std::vector<std::shared_ptr<Exchange>> Held; // I/O thread only
};

LocalHttpServer::LocalHttpServer() : _impl(std::make_unique<Impl>()) {
    _impl->Accept();
    _impl->Thread = std::thread([impl = _impl.get()] { impl->Io.run(); });
}

LocalHttpServer::~LocalHttpServer() {
    _impl->Io.stop();
    _impl->Thread.join();
}

std::string LocalHttpServer::Address() const {
    return "http://127.0.0.1:" + std::to_string(_impl->Port);
}

std::string LocalHttpServer::UnusedAddress() {
    net::io_context io;
    tcp::acceptor acceptor(io, tcp::endpoint(net::ip::address_v4::loopback(), 0));
    const unsigned short port = acceptor.local_endpoint().port();
    acceptor.close();
    return "http://127.0.0.1:" + std::to_string(port);
}

void LocalHttpServer::Answer(unsigned status, std::string body) {
    std::lock_guard lock(_impl->Mutex);
    _impl->Status = status;
    _impl->Body = std::move(body);
    _impl->Hold = false;
}

void LocalHttpServer::HoldRequests() {
    std::lock_guard lock(_impl->Mutex);
    _impl->Hold = true;
}

std::vector<ReceivedRequest> LocalHttpServer::Requests() const {
    std::lock_guard lock(_impl->Mutex);
    return _impl->Received;
}

bool LocalHttpServer::WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(_impl->Mutex);
    return _impl->Arrived.wait_for(lock, timeout, [&] { return _impl->Received.size() >= count; });
}

} // namespace Tralvonic::Test
