#include "core/DelayedTasks.h"

#include "core/LastResort.h"

#include <utility>

namespace Tralvonic {

DelayedTasks::~DelayedTasks() {
    Stop();
}

void DelayedTasks::Schedule(std::chrono::milliseconds delay, std::function<void()> task) {
    std::lock_guard lock(_mutex);
    _tasks.emplace(Clock::now() + delay, std::move(task));
    if (!_thread.joinable()) {
        _stopping = false;
        _thread = std::thread([this] { RunGuarded([this] { Run(); }); });
    }
    _changed.notify_one();
}

void DelayedTasks::Stop() {
    std::thread thread;
    {
        std::lock_guard lock(_mutex);
        _stopping = true;
        _tasks.clear();
        thread = std::move(_thread);
    }
    _changed.notify_one();
    if (thread.joinable()) {
        thread.join();
    }
}

std::size_t DelayedTasks::Pending() const {
    std::lock_guard lock(_mutex);
    return _tasks.size();
}

void DelayedTasks::Run() {
    std::unique_lock lock(_mutex);
    while (!_stopping) {
        if (_tasks.empty()) {
            _changed.wait(lock);
            continue;
        }
        auto next = _tasks.begin();
        // A copy: Stop may clear the tasks, and so free this key, while the wait sleeps.
        const Clock::time_point due = next->first;
        if (Clock::now() < due) {
            _changed.wait_until(lock, due);
            continue;
        }
        auto task = std::move(next->second);
        _tasks.erase(next);
        lock.unlock();
        RunGuarded(task);
        lock.lock();
    }
}

} // namespace Tralvonic
