#include "Window/TroubleWindowWin32.h"

#include "core/WideText.h"

#include <utility>

namespace Tralvonic {

namespace {

constexpr int LogWidth = 560;
constexpr int LogHeight = 260;

} // namespace

Win32TroubleView::Win32TroubleView(PermissionEvents events, TroubleWindow::ToWindowThread toWindowThread)
    : _events(events), _toWindowThread(std::move(toWindowThread)) {}

SIZE Win32TroubleView::Build(HWND window) {
    _fonts = std::make_unique<Win32Fonts>();
    const Win32Fonts& fonts = *_fonts;
    const int margin = fonts.Scale(WindowMargin);
    const int logTop =
        margin + MakeHeading(window, L"Troubleshooting Log", margin, margin, fonts) + fonts.Scale(RowSpacing);
    const int right = margin + fonts.Scale(LogWidth);
    const int logBottom = logTop + fonts.Scale(LogHeight);
    const int buttonTop = logBottom + fonts.Scale(ColumnSpacing);
    // Made first, so that the keyboard starts on it and Tab goes on to the log.
    _startButton = MakeButton(window, static_cast<int>(TroubleControl::StartButton), L"Start Troubleshooting",
                              right, buttonTop, fonts);
    // Wrapped at the box's width, so only a vertical scroll bar is ever needed.
    _logBox = MakeControl(window, static_cast<int>(TroubleControl::LogBox), L"EDIT", L"",
                          WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                          WS_EX_CLIENTEDGE, {margin, logTop, right, logBottom}, fonts.Text());
    SendMessageW(_logBox, EM_SETLIMITTEXT, 0, 0);
    ShowNeededScrollBars(_logBox, fonts);

    TroubleOutput output;
    output.AddLine = [this](const std::string& line) {
        AddLine(line);
    };
    output.ClearLog = [this] {
        ClearLog();
    };
    output.SetStartEnabled = [this](bool enabled) {
        SetStartEnabled(enabled);
    };
    _logic = TroubleWindow::Create(_events, _toWindowThread, std::move(output));
    _logic->OnStartClicked();
    return {right + margin, buttonTop + fonts.Scale(ButtonHeight) + margin};
}

void Win32TroubleView::OnCommand(HWND /*control*/, int id, int code) {
    if (id == static_cast<int>(TroubleControl::StartButton) && code == BN_CLICKED && _logic) {
        _logic->OnStartClicked();
    }
}

// A read-only box reads as a log on the window colour, not greyed like a disabled one.
HBRUSH Win32TroubleView::OnStaticColor(HWND control, HDC context) {
    if (control != _logBox) {
        return nullptr;
    }
    SetTextColor(context, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(context, GetSysColor(COLOR_WINDOW));
    return GetSysColorBrush(COLOR_WINDOW);
}

void Win32TroubleView::AddLine(const std::string& line) {
    const std::wstring text = WideFromUtf8(line) + L"\r\n";
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(_logBox));
    SendMessageW(_logBox, EM_SETSEL, end, static_cast<LPARAM>(end));
    SendMessageW(_logBox, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    ShowNeededScrollBars(_logBox, *_fonts);
}

void Win32TroubleView::ClearLog() {
    SetWindowTextW(_logBox, L"");
    ShowNeededScrollBars(_logBox, *_fonts);
}

void Win32TroubleView::SetStartEnabled(bool enabled) {
    // A button that goes grey with the focus would leave the keyboard nowhere.
    if (!enabled && GetFocus() == _startButton) {
        SetFocus(_logBox);
    }
    EnableWindow(_startButton, enabled ? TRUE : FALSE);
}

} // namespace Tralvonic
