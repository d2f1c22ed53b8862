#pragma once
// The simulated client's event thread: host events reach the plugin here, one after the
// other and never on the thread that caused them, as the real client delivers them from its
// own threads. The thread starts with the queue and is joined by Stop or the destructor.

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace Tralvonic::Sim {

class EventQueue {
public:
    // `afterEach` runs on the event thread after every event (the client wakes waiters).
    explicit EventQueue(std::function<void()> afterEach);
    ~EventQueue();
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    // Ignored once stopped.
    void Post(std::function<void()> event);
    // Runs `work` on the event thread after what is queued and waits for it (at once when
    // called on the event thread). Exceptions come back to the caller.
    void Call(const std::function<void()>& work);
    // True once nothing is queued or running; events posted meanwhile are waited for too.
    bool WaitUntilIdle(std::chrono::milliseconds timeout) const;
    // Drops what is still queued, lets the running event finish and joins the thread.
    void Stop();
    bool IsEventThread() const { return std::this_thread::get_id() == _thread.get_id(); }

private:
    void Run();

    std::function<void()> _afterEach;
    mutable std::mutex _mutex;
    mutable std::condition_variable _changed;
    std::deque<std::function<void()>> _queue; // guarded by _mutex
    bool _running = false;                    // guarded by _mutex; an event is being delivered
    bool _stopping = false;                   // guarded by _mutex
    std::thread _thread;                      // owned; joined in Stop
};

} // namespace Tralvonic::Sim
