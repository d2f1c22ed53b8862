#pragma once
// The troubleshooting window's Win32 controls: a heading, the read-only LogBox and
// StartButton. The checks are TroubleWindow's; they run once as the window is made. Window
// thread only.

#include "Window/TroubleWindow.h"
#include "Window/ViewWin32.h"

#include <memory>
#include <string>

namespace Tralvonic {

enum class TroubleControl : int {
    LogBox = 2001,
    StartButton,
};

class Win32TroubleView final : public Win32View {
public:
    // `toWindowThread` brings the permission answers to this window's thread.
    Win32TroubleView(PermissionEvents events, TroubleWindow::ToWindowThread toWindowThread);

    std::string_view Title() const override { return TroubleWindow::Title; }
    SIZE Build(HWND window) override;
    void OnCommand(HWND control, int id, int code) override;
    HBRUSH OnStaticColor(HWND control, HDC context) override;

private:
    void AddLine(const std::string& line);
    void ClearLog();
    void SetStartEnabled(bool enabled);

    PermissionEvents _events;
    TroubleWindow::ToWindowThread _toWindowThread;
    std::unique_ptr<Win32Fonts> _fonts;
    HWND _logBox = nullptr;
    HWND _startButton = nullptr;
    // Last, so it goes first: nothing of the checks outlives what they write to.
    std::shared_ptr<TroubleWindow> _logic;
};

} // namespace Tralvonic
