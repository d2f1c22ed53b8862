// The desktop half of NativePlatform on Windows: a message box on the caller's own thread, as
// Windows runs a modal box's loop on whichever thread asks, and addresses handed to the
// shell's default handler.

#include "core/NativePlatform.h"

#include "core/GuiThread.h"
#include "core/WideText.h"

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

namespace Tralvonic {

namespace {

constexpr wchar_t DialogClass[] = L"#32770";

UINT BoxFlags(MessageBoxButtons buttons, MessageBoxIcon icon) {
    const UINT buttonFlags = buttons == MessageBoxButtons::YesNo ? MB_YESNO : MB_OK;
    UINT iconFlags = MB_ICONINFORMATION;
    if (icon == MessageBoxIcon::Error) {
        iconFlags = MB_ICONERROR;
    } else if (icon == MessageBoxIcon::Question) {
        iconFlags = MB_ICONQUESTION;
    }
    return buttonFlags | iconFlags;
}

struct CloseRequest {
    WPARAM Button;
};

bool IsDialog(HWND window) {
    wchar_t className[16] = {};
    return GetClassNameW(window, className, 16) > 0 && std::wstring_view(className) == DialogClass;
}

BOOL CALLBACK AnswerBox(HWND window, LPARAM request) {
    if (IsDialog(window)) {
        PostMessageW(window, WM_COMMAND, reinterpret_cast<const CloseRequest*>(request)->Button, 0);
    }
    return TRUE;
}

// The button that answers the box on this thread when the stop comes first.
thread_local WPARAM unansweredButton = IDOK;

// Sees the box's window come up on this thread: a stop that came between the check before the
// box and its window found nothing to close, so the box answers itself at once.
LRESULT CALLBACK WatchBox(int code, WPARAM window, LPARAM details) {
    if (code == HCBT_ACTIVATE && GuiThread::IsClosed() && IsDialog(reinterpret_cast<HWND>(window))) {
        PostMessageW(reinterpret_cast<HWND>(window), WM_COMMAND, unansweredButton, 0);
    }
    return CallNextHookEx(nullptr, code, window, details);
}

} // namespace

MessageBoxResult NativePlatform::ShowMessageBox(std::string_view caption, std::string_view text,
                                                MessageBoxButtons buttons, MessageBoxIcon icon) {
    const bool yesNo = buttons == MessageBoxButtons::YesNo;
    const MessageBoxResult unanswered = yesNo ? MessageBoxResult::No : MessageBoxResult::Ok;
    if (GuiThread::IsClosed()) {
        return unanswered;
    }
    // The stop answers a box that is still open, from its own thread, as the user would: the
    // box's thread may be one the stop is about to join.
    const DWORD thread = GetCurrentThreadId();
    const CloseRequest request{static_cast<WPARAM>(yesNo ? IDNO : IDOK)};
    const std::uint64_t tracked = GuiThread::Track(
        [thread, request] { EnumThreadWindows(thread, AnswerBox, reinterpret_cast<LPARAM>(&request)); });
    unansweredButton = request.Button;
    HHOOK watch = SetWindowsHookExW(WH_CBT, WatchBox, nullptr, thread);
    const int answer = GuiThread::IsClosed()
                           ? 0
                           : MessageBoxW(nullptr, WideFromUtf8(text).c_str(), WideFromUtf8(caption).c_str(),
                                         BoxFlags(buttons, icon));
    if (watch != nullptr) {
        UnhookWindowsHookEx(watch);
    }
    GuiThread::Forget(tracked);
    if (!yesNo) {
        return MessageBoxResult::Ok;
    }
    return answer == IDYES ? MessageBoxResult::Yes : MessageBoxResult::No;
}

void NativePlatform::OpenAddress(std::string_view address) {
    // The shell may hand the address to a COM handler, which needs the thread initialised.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    ShellExecuteW(nullptr, L"open", WideFromUtf8(address).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
}

} // namespace Tralvonic
