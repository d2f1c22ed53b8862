#include "EventQueue.h"

#include <cstdio>
#include <exception>
#include <future>
#include <stdexcept>

namespace Tralvonic::Sim {

EventQueue::EventQueue(std::function<void()> afterEach) : _afterEach(std::move(afterEach)) {
    _thread = std::thread([this] { Run(); });
}

EventQueue::~EventQueue() {
    Stop();
}

void EventQueue::Post(std::function<void()> event) {
    {
        std::lock_guard lock(_mutex);
        if (_stopping) {
            return;
        }
        _queue.push_back(std::move(event));
    }
    _changed.notify_all();
}

void EventQueue::Call(const std::function<void()>& work) {
    if (IsEventThread()) {
        work();
        return;
    }
    std::packaged_task<void()> task(work);
    auto done = task.get_future();
    {
        std::lock_guard lock(_mutex);
        if (_stopping) {
            throw std::logic_error("the event thread has stopped");
        }
        _queue.emplace_back([&task] { task(); });
    }
    _changed.notify_all();
    done.get();
}

bool EventQueue::WaitUntilIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(_mutex);
    return _changed.wait_for(lock, timeout, [&] { return _stopping || (_queue.empty() && !_running); });
}

void EventQueue::Stop() {
    {
        std::lock_guard lock(_mutex);
        _stopping = true;
        _queue.clear();
    }
    _changed.notify_all();
    if (_thread.joinable() && !IsEventThread()) {
        _thread.join();
    }
}

void EventQueue::Run() {
    while (true) {
        std::function<void()> event;
        {
            std::unique_lock lock(_mutex);
            _changed.wait(lock, [&] { return _stopping || !_queue.empty(); });
            if (_stopping) {
                return;
            }
            event = std::move(_queue.front());
            _queue.pop_front();
            _running = true;
        }
        try {
            event();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "simulated client: event failed: %s\n", error.what());
        } catch (...) {
            std::fprintf(stderr, "simulated client: event failed\n");
        }
        {
            std::lock_guard lock(_mutex);
            _running = false;
        }
        _changed.notify_all();
        if (_afterEach) {
            _afterEach();
        }
    }
}

} // namespace Tralvonic::Sim
