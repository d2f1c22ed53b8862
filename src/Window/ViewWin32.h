#pragma once
// The content of one of the plugin's Win32 windows as its frame (MenuWindowsWin32) sees it:
// the view makes its controls in the frame and answers their notifications; the frame owns
// the window, its thread's message loop and its end. Window thread only.

#include "Window/WindowStyleWin32.h"

#include <string_view>

namespace Tralvonic {

class Win32View {
public:
    virtual ~Win32View() = default;

    virtual std::string_view Title() const = 0;
    // Makes the controls in `window` (made, not yet shown) and returns the client size they
    // take. The troubleshooting window runs its checks here, as it is made.
    virtual SIZE Build(HWND window) = 0;
    // WM_COMMAND from one of the view's controls.
    virtual void OnCommand(HWND control, int id, int code) = 0;
    // WM_CTLCOLORSTATIC: the background of a read-only or static control, or null for the
    // default.
    virtual HBRUSH OnStaticColor(HWND /*control*/, HDC /*context*/) { return nullptr; }
    // The window is about to go: a text box that has the focus gives it up, so that what was
    // typed is committed as on any other loss of focus.
    virtual void OnClosing() {}
};

} // namespace Tralvonic
