#pragma once
// The one way into the thread where the plugin's windows and message boxes live: the host's
// QApplication thread when the host has one, otherwise a thread of the plugin that runs its
// own QApplication for as long as the plugin needs it.
//
// Everything the plugin queues onto that thread goes through here, so that the stop can empty
// the queue, close every window and box still open and drop the plugin's receiver of queued
// events before anything is joined. No queued event names plugin code once Close has returned,
// and nothing here makes the stop wait for work that the GUI thread itself would have to run.
//
// On Windows (GuiThreadWin32.cpp) there is no one GUI thread: each window and message box lives
// on the thread that shows it, Track takes close actions from any thread and refuses them once
// closed (0), and Post and Invoke refuse their work.

#include <cstdint>
#include <functional>

namespace Tralvonic {

class GuiThread {
public:
    using Task = std::function<void()>;

    // Accepts work again after a stop; part of the start.
    static void Open();
    // Part of the stop, first of all its steps: refuses new work, drops queued work, ends every
    // wait of WaitUntil, runs the close actions of whatever is still open on the GUI thread and
    // ends the plugin's own GUI thread. Inline when called on the GUI thread; from another
    // thread it waits at most a second for the host's GUI thread. Any thread.
    static void Close();

    // Whether windows and boxes can be shown: the host has a QApplication, or a display (or a
    // Qt platform such as offscreen) is there for one of the plugin's own.
    static bool IsAvailable();
    // Between Close and the next Open: nothing is shown, whether or not there is a display.
    static bool IsClosed();
    // True on the thread where the windows live.
    static bool IsCurrent();

    // Queues `task` for the GUI thread; false, and the task dropped, when closed or unavailable.
    static bool Post(Task task);
    // Runs `task` on the GUI thread and waits until it has run: inline on the GUI thread. False
    // when it did not run, or its end was not awaited, because the context closed.
    static bool Invoke(Task task);

    // Blocks until `done()` holds or the context closes; returns `done()`. Whoever changes
    // what `done` reads calls Notify afterwards. Never on the GUI thread.
    static bool WaitUntil(const std::function<bool()>& done);
    static void Notify();

    // Something open on the GUI thread (a window, a box) that the stop must close: `close` runs
    // there at the stop unless Forget came first. GUI thread only.
    static std::uint64_t Track(Task close);
    static void Forget(std::uint64_t id);
};

} // namespace Tralvonic
