#pragma once
// The plugin's one HTTP client: TLS 1.2 at least, a fixed User-Agent and a time-out for the
// whole request. A request blocks the calling thread, so it belongs on a background thread,
// but a stop request ends it within 50 milliseconds: the host may unload the library right
// after the stop, and no transfer may still be running then.
// Any thread; requests on different threads run independently.

#include <chrono>
#include <cstddef>
#include <stop_token>
#include <string>

namespace Tralvonic {

struct HttpResponse {
    enum class Outcome {
        // The server answered; Status and Body hold its answer, whatever the status.
        Answered,
        // No answer: no connection, a TLS or protocol failure, the time-out. Error says why.
        Failed,
        // The stop came first; nothing else is set.
        Stopped,
    };

    Outcome Result = Outcome::Failed;
    long Status = 0;
    std::string Body;
    std::string Error;
};

class HttpClient {
public:
    // A version string is a few bytes; a body beyond this counts as a failed transfer, so
    // that a broken or hostile service cannot fill memory, the log or a message box.
    static constexpr std::size_t MaxBodyBytes = 64 * 1024;

    HttpClient(std::string userAgent, std::chrono::milliseconds timeout);
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // One GET. Returns when the answer is complete, the transfer failed or timed out, or
    // `stop` was requested (at once if it already was).
    HttpResponse Get(const std::string& address, std::stop_token stop = {}) const;

    // The host name of an address ("update.example.org" for "https://update.example.org/x"),
    // or the address itself when it cannot be parsed.
    static std::string HostName(const std::string& address);

private:
    std::string _userAgent;
    std::chrono::milliseconds _timeout;
};

} // namespace Tralvonic
