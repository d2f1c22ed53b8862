// The desktop half of NativePlatform on Windows: a message box on the caller's own thread, as
// Windows runs a modal box's loop on whichever thread asks, and addresses handed to the
// shell's default handler.

#include "core/NativePlatform.h"

#include "core/TrackedMessageBox.h"
#include "core/WideText.h"

#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

namespace Tralvonic {

namespace {

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

} // namespace

MessageBoxResult NativePlatform::ShowMessageBox(std::string_view caption, std::string_view text,
                                                MessageBoxButtons buttons, MessageBoxIcon icon) {
    const bool yesNo = buttons == MessageBoxButtons::YesNo;
    // The stop answers a box that is still open, from its own thread, as the user would (the
    // box's thread may be one the stop is about to join), and refuses one asked for after it.
    const int answer = ShowTrackedMessageBox(WideFromUtf8(caption), WideFromUtf8(text),
                                             BoxFlags(buttons, icon), yesNo ? IDNO : IDOK);
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
