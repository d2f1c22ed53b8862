// The GUI context on Windows. Windows has no one GUI thread that the plugin could queue work
// onto: a message box runs its loop on the thread that asks for it, and each window of the
// plugin on a thread of its own. What stays is the part the stop needs: the context opens and
// closes, waits end at the close, and whatever is open (a box, a window) registers how to
// close it from another thread, which the close does.

#include "core/GuiThread.h"

#include "core/LastResort.h"

#include <condition_variable>
#include <map>
#include <mutex>
#include <utility>

namespace Tralvonic {

namespace {

struct State {
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Closed = false;
    std::uint64_t Generation = 0; // raised by every Close; ends the waits that began before
    std::map<std::uint64_t, GuiThread::Task> Opened;
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
    std::map<std::uint64_t, Task> opened;
    {
        std::lock_guard lock(state.Mutex);
        state.Closed = true;
        ++state.Generation;
        opened.swap(state.Opened);
    }
    state.Changed.notify_all();
    for (auto& [id, close] : opened) {
        RunGuarded(close);
    }
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
    { std::lock_guard lock(state.Mutex); }
    state.Changed.notify_all();
}

std::uint64_t GuiThread::Track(Task close) {
    auto& state = TheState();
    std::lock_guard lock(state.Mutex);
    const std::uint64_t id = ++state.LastId;
    state.Opened.emplace(id, std::move(close));
    return id;
}

void GuiThread::Forget(std::uint64_t id) {
    auto& state = TheState();
    std::lock_guard lock(state.Mutex);
    state.Opened.erase(id);
}

} // namespace Tralvonic
