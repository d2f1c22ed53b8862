#pragma once
// One of a game instance's own threads. Several threads may want it ended at once (a reset on
// a host thread, the plugin stop, the instance's end), and the thread may end the instance
// itself, so Join is safe from any thread, more than once, and from the thread itself.

#include <functional>
#include <mutex>
#include <thread>

namespace Tralvonic {

class InstanceThread {
public:
    InstanceThread() = default;
    InstanceThread(const InstanceThread&) = delete;
    InstanceThread& operator=(const InstanceThread&) = delete;
    ~InstanceThread() { Join(); }

    // Runs `body` through the last-resort guard; a thread that already ran is not restarted.
    void Start(std::function<void()> body);
    // Waits for the thread's end. The thread's loop looks at its stop condition every 10 ms,
    // so this never waits long. On the thread itself it lets go instead of waiting.
    void Join();

private:
    std::mutex _mutex; // held while waiting for the end, so two joiners never join one thread
    std::thread _thread;
};

} // namespace Tralvonic
