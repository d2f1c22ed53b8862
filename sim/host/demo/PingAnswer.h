#pragma once
// The game's half of the keepalive: every Ping of the plugin is answered with a Pong while the
// session lasts. Falling silent at the end lets the plugin end the instance itself after its
// timeout, which is how a game leaves: it has no command for that.

#include <atomic>
#include <functional>
#include <string>
#include <utility>

namespace Tralvonic::Sim::Host::Demo {

struct PluginReport;

class PingAnswer {
public:
    // `send` writes the pong on the game link; called on the thread that hands in the report.
    PingAnswer(std::function<void(std::string)> send, std::string pong)
        : _send(std::move(send)), _pong(std::move(pong)) {}

    // True when the report was a Ping (answered unless silent); any thread.
    bool Handle(const PluginReport& report);
    void FallSilent() { _answering = false; }
    int Answered() const { return _answered; }

private:
    std::function<void(std::string)> _send;
    const std::string _pong;
    std::atomic<bool> _answering{true};
    std::atomic<int> _answered{0};
};

} // namespace Tralvonic::Sim::Host::Demo
