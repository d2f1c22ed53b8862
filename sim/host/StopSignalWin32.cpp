#include "StopSignal.h"

#include <windows.h>

#include <condition_variable>
#include <mutex>

namespace Tralvonic::Sim::Host {

namespace {

struct Stop {
    std::mutex Mutex;
    std::condition_variable Came;
    std::string Reason; // guarded by Mutex; empty until a stop comes
};

Stop& State() {
    static Stop stop;
    return stop;
}

void Signal(const char* reason) {
    auto& state = State();
    {
        std::lock_guard lock(state.Mutex);
        if (state.Reason.empty()) {
            state.Reason = reason;
        }
    }
    state.Came.notify_all();
}

// Runs on a thread the system starts for the event. Returning TRUE keeps the process alive
// until the main thread has shut the plugin down; for a console close the system ends the
// process soon after the handler returns, so that one waits for nothing more.
BOOL WINAPI OnConsoleControl(DWORD event) {
    Signal(event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? "SIGINT" : "SIGTERM");
    return TRUE;
}

} // namespace

void StopSignal::Install() {
    // A parent that ignores Ctrl-C passes that on; this program wants it.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

std::string StopSignal::Wait() {
    auto& state = State();
    std::unique_lock lock(state.Mutex);
    state.Came.wait(lock, [&] { return !state.Reason.empty(); });
    return state.Reason;
}

void StopSignal::Request() {
    Signal("SIGTERM");
}

} // namespace Tralvonic::Sim::Host
