#include "core/TrackedMessageBox.h"

#include "core/GuiThread.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include <windows.h>

// MessageBoxW runs its own modal loop and says nothing about its window. A CBT hook on the
// showing thread sees the box's dialog being made, so the stop can answer it with a posted
// button click; a box that the stop has already closed is refused as it is being made.

namespace Tralvonic {

namespace {

constexpr std::wstring_view DialogClass = L"#32770";

// One box, shared by the thread that shows it and the stop that closes it.
struct BoxRecord {
    BoxRecord(int stopAnswer, bool watched) : StopAnswer(stopAnswer), Watched(watched) {}

    const int StopAnswer;
    const DWORD Thread = GetCurrentThreadId();
    const bool Watched; // the hook is in place and fills Box
    std::mutex Mutex;
    HWND Box = nullptr;          // guarded by Mutex
    bool CloseRequested = false; // guarded by Mutex
    bool Ended = false;          // guarded by Mutex; MessageBoxW has returned
};

// The box this thread is about to show, until the hook has seen its dialog.
thread_local BoxRecord* boxBeingMade = nullptr;

bool IsDialog(HWND window) {
    wchar_t name[16] = {};
    const int length = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return length > 0 && std::wstring_view(name, static_cast<std::size_t>(length)) == DialogClass;
}

LRESULT CALLBACK WatchBoxCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && boxBeingMade != nullptr) {
        const auto window = reinterpret_cast<HWND>(wParam);
        const auto* create = reinterpret_cast<const CBT_CREATEWNDW*>(lParam);
        if ((create->lpcs->style & WS_CHILD) == 0 && IsDialog(window)) {
            BoxRecord& record = *std::exchange(boxBeingMade, nullptr);
            std::lock_guard lock(record.Mutex);
            if (record.CloseRequested) {
                // Non-zero keeps the window from being made; MessageBoxW then returns 0.
                return 1;
            }
            record.Box = window;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL CALLBACK FindDialog(HWND window, LPARAM found) {
    if (IsDialog(window)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// The stop's close action, on the stopping thread: a posted click on the stop's answer, which
// the box's own loop carries out.
void RequestClose(BoxRecord& record) {
    HWND box = nullptr;
    {
        std::lock_guard lock(record.Mutex);
        record.CloseRequested = true;
        if (record.Ended) {
            return;
        }
        box = record.Box;
    }
    if (box == nullptr && !record.Watched) {
        EnumThreadWindows(record.Thread, FindDialog, reinterpret_cast<LPARAM>(&box));
    }
    if (box != nullptr) {
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(record.StopAnswer, BN_CLICKED), 0);
    }
}

} // namespace

int ShowTrackedMessageBox(std::wstring_view caption, std::wstring_view text, unsigned int flags,
                          int stopAnswer) {
    const std::wstring captionText(caption);
    const std::wstring bodyText(text);
    const HHOOK hook = SetWindowsHookExW(WH_CBT, WatchBoxCreation, nullptr, GetCurrentThreadId());
    auto record = std::make_shared<BoxRecord>(stopAnswer, hook != nullptr);
    const std::uint64_t tracked = GuiThread::Track([record] { RequestClose(*record); });
    int answer = 0;
    if (tracked != 0) {
        BoxRecord* const outer = std::exchange(boxBeingMade, hook != nullptr ? record.get() : nullptr);
        answer = MessageBoxW(nullptr, bodyText.c_str(), captionText.c_str(), flags);
        boxBeingMade = outer;
    }
    if (hook != nullptr) {
        UnhookWindowsHookEx(hook);
    }
    bool closedByStop = tracked == 0;
    {
        std::lock_guard lock(record->Mutex);
        record->Ended = true;
        record->Box = nullptr;
        closedByStop = closedByStop || record->CloseRequested;
    }
    if (tracked != 0) {
        GuiThread::Forget(tracked);
    }
    // A box the stop closed is never the user's Yes, even when a click raced the stop.
    return closedByStop || answer == 0 ? stopAnswer : answer;
}

} // namespace Tralvonic
