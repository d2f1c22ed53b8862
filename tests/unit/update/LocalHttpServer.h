#pragma once
// A small HTTP server on an ephemeral loopback port, run on a thread of its own, standing in
// for the update service: it records every request and answers each with the status and body
// the test has set, or holds it unanswered for as long as the server lives.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace Tralvonic::Test {

struct ReceivedRequest {
    std::string Target;
    std::string UserAgent;
};

class LocalHttpServer {
public:
    LocalHttpServer();
    // Stops the thread; held requests end with a closed connection.
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    // "http://127.0.0.1:<port>"
    std::string Address() const;
    // The address of a loopback port where nothing listens.
    static std::string UnusedAddress();
    // Every following request gets this answer (200 with an empty body until set).
    void Answer(unsigned status, std::string body);
    // Every following request stays unanswered.
    void HoldRequests();
    std::vector<ReceivedRequest> Requests() const;
    // True once `count` requests have arrived.
    bool WaitForRequests(std::size_t count, std::chrono::milliseconds timeout) const;

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

} // namespace Tralvonic::Test
