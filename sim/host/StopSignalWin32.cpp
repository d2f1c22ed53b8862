#include "StopSignal.h"

#include <windows.h>

#include <mutex>
#include <string>

namespace Tralvonic::Sim::Host {

namespace {

struct Stop {
    std::mutex Mutex;
    std::string Reason;    // guarded by Mutex; the first stop's
    HANDLE Came = nullptr; // set by the first stop
    HANDLE Interrupt = nullptr;
};

Stop& State() {
    static Stop stop;
    return stop;
}

void Signal(const char* reason) {
    auto& state = State();
    std::lock_guard lock(state.Mutex);
    if (state.Reason.empty()) {
        state.Reason = reason;
        SetEvent(state.Came);
    }
}

// Runs on a thread the system starts for the event (under Wine also for SIGINT and SIGTERM to
// the Wine process). Returning TRUE keeps the process alive until the main thread has shut the
// plugin down; for a closed console the system ends the process soon after the handler returns.
BOOL WINAPI OnConsoleControl(DWORD event) {
    Signal(event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT ? "SIGINT" : "SIGTERM");
    return TRUE;
}

} // namespace

void StopSignal::Install() {
    auto& state = State();
    state.Came = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Ctrl-C for programs that cannot reach this program's console (a test under Wine, which
    // delivers no console event to a child): setting this event interrupts as Ctrl-C does.
    const std::wstring name = L"Local\\tralvonic-host-interrupt-" + std::to_wstring(GetCurrentProcessId());
    state.Interrupt = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
    // A parent that ignores Ctrl-C passes that on; this program wants it.
    SetConsoleCtrlHandler(nullptr, FALSE);
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

std::string StopSignal::Wait() {
    auto& state = State();
    HANDLE events[2] = {state.Came, state.Interrupt};
    const DWORD count = state.Interrupt != nullptr ? 2 : 1;
    if (WaitForMultipleObjects(count, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        Signal("SIGINT");
    }
    std::lock_guard lock(state.Mutex);
    return state.Reason.empty() ? "SIGTERM" : state.Reason;
}

void StopSignal::Request() {
    Signal("SIGTERM");
}

} // namespace Tralvonic::Sim::Host
