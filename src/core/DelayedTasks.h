#pragma once
// Runs short tasks after a delay on one owned background thread. Stop cancels what has not
// run yet and joins the thread, so nothing of the plugin runs after the host unloads it.
// Schedule and Stop may be called from any thread, but not from inside a task.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace Tralvonic {

class DelayedTasks {
public:
    using Clock = std::chrono::steady_clock;

    DelayedTasks() = default;
    ~DelayedTasks();
    DelayedTasks(const DelayedTasks&) = delete;
    DelayedTasks& operator=(const DelayedTasks&) = delete;

    // Runs `task` once `delay` has passed, unless Stop comes first. The thread starts with
    // the first task; tasks due at the same time run in scheduling order.
    void Schedule(std::chrono::milliseconds delay, std::function<void()> task);
    // Drops pending tasks, waits for a running one and joins the thread. Scheduling
    // afterwards starts a new thread.
    void Stop();
    std::size_t Pending() const;

private:
    void Run();

    mutable std::mutex _mutex;
    std::condition_variable _changed;
    std::multimap<Clock::time_point, std::function<void()>> _tasks; // guarded by _mutex
    bool _stopping = false;                                         // guarded by _mutex
    std::thread _thread;                                            // guarded by _mutex
};

} // namespace Tralvonic
