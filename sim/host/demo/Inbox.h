#pragma once
// What the plugin reported to the built-in session, for the scene thread to wait on, and the
// session's stop: every wait of the scene (for a report or for the next step) ends at once
// when the session is stopped. Holds the latest reports only.

#include "PluginReports.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

namespace Tralvonic::Sim::Host::Demo {

class Inbox {
public:
    static constexpr std::size_t Capacity = 512;

    // Any thread.
    void Add(PluginReport report);
    // Counts the reports so far; a wait from this mark looks at the later ones only.
    std::uint64_t Mark() const;
    // True once a report from `mark` on satisfies `accept`; false at the deadline or a stop.
    bool WaitFor(std::uint64_t mark, const std::function<bool(const PluginReport&)>& accept,
                 std::chrono::milliseconds timeout);
    // Waits for nothing but a stop: false when stopped before `duration` passed.
    bool Pause(std::chrono::milliseconds duration);
    void Stop();
    bool IsStopped() const;

private:
    mutable std::mutex _mutex;
    std::condition_variable _changed;
    std::deque<PluginReport> _reports; // guarded by _mutex; the last Capacity
    std::uint64_t _received = 0;       // guarded by _mutex
    bool _stopped = false;             // guarded by _mutex
};

} // namespace Tralvonic::Sim::Host::Demo
