#include "core/GuiThread.h"

#include "core/LastResort.h"
#include "core/Logger.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

// Queued work reaches the GUI thread as plain QEvents posted to one receiver object of the
// plugin. A posted QEvent holds no plugin code, and deleting the receiver takes every event
// still posted to it out of Qt's queue, so once the receiver is gone nothing queued can call
// into the library after it has been unloaded.

namespace Tralvonic {

namespace {

using Task = GuiThread::Task;

constexpr auto HostAnswerTimeout = std::chrono::seconds(1);
constexpr auto OwnStartTimeout = std::chrono::seconds(10);

QEvent::Type DrainEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type FinalEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

class Receiver;

struct State {
    std::mutex Mutex;
    std::condition_variable Changed;
    bool Closed = false;
    std::uint64_t Generation = 0; // raised by every Close; ends the waits that began before
    std::deque<Task> Queue;
    bool DrainPosted = false;
    Receiver* Target = nullptr; // lives on the GUI thread
    QThread* Gui = nullptr;     // the thread of Target
    bool Own = false;           // Target lives on the plugin's own thread
    std::thread OwnThread;
    bool OwnStarting = false;
    std::map<std::uint64_t, Task> Opened;
    std::uint64_t LastId = 0;
    // The final event's run: the closing thread and the GUI thread agree on who may still
    // touch the receiver.
    std::map<std::uint64_t, Task> Closing;
    bool FinalStarted = false;
    bool FinalDone = false;
    bool FinalAbandoned = false;
};

State& TheState() {
    static State state;
    return state;
}

// The host's QApplication, or null; one that the plugin made itself does not count.
QApplication* HostApplication(const State& state) {
    if (state.Own) {
        return nullptr;
    }
    return qobject_cast<QApplication*>(QCoreApplication::instance());
}

bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

void RunAll(std::map<std::uint64_t, Task>& tasks) {
    for (auto& [id, task] : tasks) {
        RunGuarded(task);
    }
    tasks.clear();
}

void Drain() {
    auto& state = TheState();
    std::deque<Task> tasks;
    {
        std::lock_guard lock(state.Mutex);
        state.DrainPosted = false;
        tasks.swap(state.Queue);
    }
    for (Task& task : tasks) {
        RunGuarded(task);
    }
}

class Receiver final : public QObject {
public:
    bool event(QEvent* event) override {
        {
            // Pairs with the mutex held where the event was made and posted: Qt's own queue
            // lock orders the two threads as well, but out of the race detector's sight.
            std::lock_guard lock(TheState().Mutex);
        }
        if (event->type() == DrainEvent()) {
            RunGuarded(Drain);
            return true;
        }
        if (event->type() == FinalEvent()) {
            RunGuarded([this] { Finish(); });
            return true;
        }
        return QObject::event(event);
    }

private:
    // The stop's last word on the GUI thread: close what is open, leave Qt's queue without
    // any event for this object, and go. Sender and receiver of queued events are gone
    // together, so nothing can arrive for it afterwards.
    void Finish() {
        auto& state = TheState();
        std::map<std::uint64_t, Task> closing;
        bool own = false;
        {
            std::lock_guard lock(state.Mutex);
            if (state.FinalAbandoned) {
                return;
            }
            state.FinalStarted = true;
            closing.swap(state.Closing);
            own = state.Own;
        }
        RunAll(closing);
        QCoreApplication::removePostedEvents(this);
        if (own) {
            QCoreApplication::quit();
        }
        {
            std::lock_guard lock(state.Mutex);
            state.FinalDone = true;
        }
        state.Changed.notify_all();
        // Qt no longer needs the receiver of a posted event once its handler returns.
        delete this;
    }
};

void RunOwnThread() {
    auto& state = TheState();
    RunGuarded([&] {
        static int argc = 1;
        static char name[] = "Tralvonic";
        static char* argv[] = {name, nullptr};
        QApplication application(argc, argv);
        application.setQuitOnLastWindowClosed(false);
        auto* target = new Receiver;
        bool run = false;
        {
            std::lock_guard lock(state.Mutex);
            state.OwnStarting = false;
            if (!state.Closed) {
                state.Target = target;
                state.Gui = QThread::currentThread();
                run = true;
            }
        }
        state.Changed.notify_all();
        if (run) {
            QApplication::exec();
        }
        bool deleteTarget = !run;
        {
            std::lock_guard lock(state.Mutex);
            // The final event deletes the receiver itself; any other end of the loop leaves it.
            if (run && state.Target == target && !state.FinalDone) {
                deleteTarget = true;
            }
            if (state.Target == target) {
                state.Target = nullptr;
                state.Gui = nullptr;
            }
        }
        if (deleteTarget) {
            delete target;
        }
    });
    {
        std::lock_guard lock(state.Mutex);
        state.OwnStarting = false;
    }
    state.Changed.notify_all();
}

// Under the mutex: a receiver on the GUI thread, made on first use. False when there is no
// GUI to be had.
bool EnsureTargetLocked(State& state, std::unique_lock<std::mutex>& lock) {
    if (state.Target != nullptr) {
        return true;
    }
    if (state.Own && (state.OwnStarting || state.OwnThread.joinable())) {
        // The plugin's own application is on its way (its QApplication may exist already).
        state.Changed.wait_for(lock, OwnStartTimeout, [&] { return !state.OwnStarting || state.Closed; });
        return state.Target != nullptr && !state.Closed;
    }
    if (QApplication* host = HostApplication(state)) {
        // Made outside the mutex: moving it sends it an event at once, which takes the mutex.
        QThread* gui = host->thread();
        lock.unlock();
        auto* target = new Receiver;
        target->moveToThread(gui);
        lock.lock();
        if (state.Target == nullptr && !state.Closed) {
            state.Target = target;
            state.Gui = gui;
        } else {
            // Another thread was quicker, or the stop came: this one never received anything.
            delete target;
        }
        return state.Target != nullptr && !state.Closed;
    }
    if (QCoreApplication::instance() != nullptr || !HasDisplay()) {
        // A host without widgets, or no display: a second application would crash it.
        return false;
    }
    if (!state.OwnStarting && !state.OwnThread.joinable()) {
        state.Own = true;
        state.OwnStarting = true;
        state.OwnThread = std::thread(RunOwnThread);
    }
    state.Changed.wait_for(lock, OwnStartTimeout, [&] { return !state.OwnStarting || state.Closed; });
    return state.Target != nullptr && !state.Closed;
}

} // namespace

void GuiThread::Open() {
    auto& state = TheState();
    std::lock_guard lock(state.Mutex);
    state.Closed = false;
}

void GuiThread::Close() {
    auto& state = TheState();
    std::deque<Task> dropped;
    std::map<std::uint64_t, Task> opened;
    Receiver* target = nullptr;
    bool own = false;
    bool onGui = false;
    std::thread ownThread;
    {
        std::lock_guard lock(state.Mutex);
        state.Closed = true;
        ++state.Generation;
        dropped.swap(state.Queue);
        state.DrainPosted = false;
        opened.swap(state.Opened);
        target = state.Target;
        own = state.Own;
        onGui = target != nullptr && state.Gui == QThread::currentThread();
        if (target != nullptr && !onGui) {
            state.Closing = std::move(opened);
            opened.clear();
            state.FinalStarted = false;
            state.FinalDone = false;
            state.FinalAbandoned = false;
            QCoreApplication::postEvent(target, new QEvent(FinalEvent()));
        }
        if (onGui) {
            state.Target = nullptr;
            state.Gui = nullptr;
        }
        ownThread = std::move(state.OwnThread);
    }
    state.Changed.notify_all();
    dropped.clear();

    if (onGui) {
        // The stop runs on the GUI thread itself: nothing may wait for it, so all is done here.
        RunAll(opened);
        QCoreApplication::removePostedEvents(target);
        delete target;
        if (own) {
            QCoreApplication::quit();
        }
    } else if (target != nullptr && !own) {
        std::unique_lock lock(state.Mutex);
        if (!state.Changed.wait_for(lock, HostAnswerTimeout, [&] { return state.FinalDone; }) &&
            !state.FinalStarted) {
            // The host's GUI thread is busy elsewhere. Its queue must still lose every event for
            // the receiver, which is left behind rather than deleted from the wrong thread.
            state.FinalAbandoned = true;
            lock.unlock();
            QCoreApplication::removePostedEvents(target);
            Logger::LogWarning("GUI thread did not answer the stop; windows left to the host",
                               LogChannel::Base);
            lock.lock();
        }
        // Started on the GUI thread: it only closes what is open and is not waited for long.
        state.Changed.wait(lock, [&] { return state.FinalDone || state.FinalAbandoned; });
        state.Target = nullptr;
        state.Gui = nullptr;
    }
    if (ownThread.joinable()) {
        if (ownThread.get_id() == std::this_thread::get_id()) {
            ownThread.detach();
        } else {
            ownThread.join();
        }
    }
    {
        std::lock_guard lock(state.Mutex);
        if (!state.OwnThread.joinable() && !state.OwnStarting) {
            state.Own = false;
        }
        state.Closing.clear();
    }
}

bool GuiThread::IsAvailable() {
    auto& state = TheState();
    std::lock_guard lock(state.Mutex);
    if (state.Closed) {
        return false;
    }
    if (state.Target != nullptr || state.OwnStarting || HostApplication(state) != nullptr) {
        return true;
    }
    return QCoreApplication::instance() == nullptr && HasDisplay();
}

bool GuiThread::IsClosed() {
    auto& state = TheState();
    std::lock_guard lock(state.Mutex);
    return state.Closed;
}

bool GuiThread::IsCurrent() {
    auto& state = TheState();
    std::lock_guard lock(state.Mutex);
    if (state.Gui == nullptr) {
        const QApplication* host = HostApplication(state);
        return host != nullptr && host->thread() == QThread::currentThread();
    }
    return state.Gui == QThread::currentThread();
}

bool GuiThread::Post(Task task) {
    auto& state = TheState();
    std::unique_lock lock(state.Mutex);
    if (state.Closed || !EnsureTargetLocked(state, lock)) {
        return false;
    }
    state.Queue.push_back(std::move(task));
    if (!state.DrainPosted) {
        state.DrainPosted = true;
        // Held across the post so that the receiver cannot go while the event is addressed to
        // it; postEvent only appends to Qt's queue and never calls back into the plugin.
        QCoreApplication::postEvent(state.Target, new QEvent(DrainEvent()));
    }
    return true;
}

bool GuiThread::Invoke(Task task) {
    if (IsCurrent()) {
        task();
        return true;
    }
    auto finished = std::make_shared<std::atomic<bool>>(false);
    const bool posted = Post([task = std::move(task), finished] {
        task();
        finished->store(true);
        Notify();
    });
    return posted && WaitUntil([&] { return finished->load(); });
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
