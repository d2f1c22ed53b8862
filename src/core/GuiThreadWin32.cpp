// The GUI context on Windows. Windows has no one GUI thread that the plugin could queue work
// onto: a message box runs its loop on the thread that asks for it, and each window of the
// plugin on a thread of its own. What the stop needs of GuiThread still holds: Close refuses
// new boxes, ends every WaitUntil, and runs the close action of everything tracked, which
// posts to the box's thread; it then waits a bounded time for those boxes to be gone, because
// their threads run plugin code (the hook of the tracked box) until they are. Nothing is
// queued onto another thread's loop: Post and Invoke refuse their work.

#include "core/GuiThread.h"

#include "core/LastResort.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace Tralvonic {

namespace {

constexpr auto BoxCloseTimeout = std::chrono::seconds(1);

struct Tracked {
    GuiThread::Task Close;
    std::thread::id Thread;
};

struct State {
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Closed = false;
    std::uint64_t Generation = 0; // raised by every Close; ends the waits that began before
    std::map<std::uint64_t, Tracked> Opened;
    std::uint64_t LastId = 0;
};

State& TheState() {
    static State state;
    return state;
}

} // namespace

void GuiThread::Open() {
    auto& state = TheState();
    std::lock_guard lock(state.Mutex);
    state.Closed = false;
}

void GuiThread::Close() {
    auto& state = TheState();
    std::vector<Task> closing;
    {
        std::lock_guard lock(state.Mutex);
        state.Closed = true;
        ++state.Generation;
        for (auto& [id, tracked] : state.Opened) {
            closing.push_back(tracked.Close);
        }
    }
    state.Changed.notify_all();
    for (const Task& close : closing) {
        RunGuarded(close);
    }
    // A box on this very thread cannot end while the stop runs on it; the others end at once
    // once their close has been posted.
    const auto self = std::this_thread::get_id();
    std::unique_lock lock(state.Mutex);
    state.Changed.wait_for(lock, BoxCloseTimeout, [&] {
        for (const auto& [id, tracked] : state.Opened) {
            if (tracked.Thread != self) {
                return false;
            }
        }
        return true;
    });
}

bool GuiThread::IsAvailable() {
    return !IsClosed();
}

bool GuiThread::IsClosed() {
    auto& state = TheState();
    std::lock_guard lock(state.Mutex);
    return state.Closed;
}

bool GuiThread::IsCurrent() {
    return false;
}

bool GuiThread::Post(Task) {
    return false;
}

bool GuiThread::Invoke(Task) {
    return false;
}

bool GuiThread::WaitUntil(const std::function<bool()>& done) {
    auto& state = TheState();
    std::unique_lock lock(state.Mutex);
    const std::uint64_t generation = state.Generation;
    state.Changed.wait(lock, [&] { return state.Generation != generation || done(); });
    return done();
}

void GuiThread::Notify() {
    auto& state = TheState();
    {
        // Taken so that a waiter between its check and its sleep cannot miss the change.
        std::lock_guard lock(state.Mutex);
    }
    state.Changed.notify_all();
}

// Any thread here; `close` runs on the thread that closes, so it may only post to the window.
// 0, with nothing tracked, once the stop has begun: the caller must not show anything then.
std::uint64_t GuiThread::Track(Task close) {
    auto& state = TheState();
    std::lock_guard lock(state.Mutex);
    if (state.Closed) {
        return 0;
    }
    const std::uint64_t id = ++state.LastId;
    state.Opened.emplace(id, Tracked{std::move(close), std::this_thread::get_id()});
    return id;
}

void GuiThread::Forget(std::uint64_t id) {
    auto& state = TheState();
    {
        std::lock_guard lock(state.Mutex);
        state.Opened.erase(id);
    }
    state.Changed.notify_all();
}

} // namespace Tralvonic
