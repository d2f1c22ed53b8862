#include "Window/WindowStyleWin32.h"

#include "core/WideText.h"

#include <algorithm>
#include <vector>

namespace Tralvonic {

namespace {

constexpr int HeadingPointSize = 14;
constexpr int PointsPerInch = 72;
constexpr int ButtonPadding = 12;
constexpr int MinimumButtonWidth = 75;
// Room for the caret behind the longest line.
constexpr int CaretRoom = 2;
// Enough to reach the wanted height from any first guess of a control's own sizing.
constexpr int SizingRounds = 4;
constexpr int GrowthLimit = 32;

// A device context of the screen with one font selected, for measuring text.
class ScreenText {
public:
    explicit ScreenText(HFONT font) : _dc(GetDC(nullptr)), _previous(SelectObject(_dc, font)) {}
    ~ScreenText() {
        SelectObject(_dc, _previous);
        ReleaseDC(nullptr, _dc);
    }
    ScreenText(const ScreenText&) = delete;
    ScreenText& operator=(const ScreenText&) = delete;

    HDC Context() const { return _dc; }

private:
    HDC _dc;
    HGDIOBJ _previous;
};

int Height(const RECT& rect) {
    return rect.bottom - rect.top;
}

int Width(const RECT& rect) {
    return rect.right - rect.left;
}

LOGFONTW MessageFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) != FALSE) {
        return metrics.lfMessageFont;
    }
    LOGFONTW fallback{};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(fallback), &fallback);
    return fallback;
}

std::vector<std::wstring_view> Lines(std::wstring_view text) {
    std::vector<std::wstring_view> lines;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(L"\r\n", start);
        lines.push_back(text.substr(start, end == std::wstring_view::npos ? end : end - start));
        if (end == std::wstring_view::npos) {
            return lines;
        }
        start = end + 2;
    }
}

bool HasStyle(HWND window, DWORD style) {
    return (static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)) & style) != 0;
}

void ShowScrollBarIf(HWND window, int bar, DWORD style, bool needed) {
    if (HasStyle(window, style) != needed) {
        ShowScrollBar(window, bar, needed ? TRUE : FALSE);
    }
}

} // namespace

HINSTANCE OwnModule() {
    static const int anchor = 0;
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&anchor), &module);
    return module;
}

Win32Fonts::Win32Fonts() {
    const HDC screen = GetDC(nullptr);
    _dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (_dpi <= 0) {
        _dpi = USER_DEFAULT_SCREEN_DPI;
    }
    LOGFONTW text = MessageFont();
    _text = CreateFontIndirectW(&text);
    LOGFONTW heading = text;
    heading.lfWeight = FW_BOLD;
    heading.lfHeight = -MulDiv(HeadingPointSize, _dpi, PointsPerInch);
    _heading = CreateFontIndirectW(&heading);
}

Win32Fonts::~Win32Fonts() {
    DeleteObject(_heading);
    DeleteObject(_text);
}

int Win32Fonts::Scale(int pixels) const {
    return MulDiv(pixels, _dpi, USER_DEFAULT_SCREEN_DPI);
}

SIZE Win32Fonts::Measure(HFONT font, std::wstring_view text) const {
    const ScreenText screen(font);
    SIZE size{};
    GetTextExtentPoint32W(screen.Context(), text.data(), static_cast<int>(text.size()), &size);
    return size;
}

int Win32Fonts::LineHeight(HFONT font) const {
    const ScreenText screen(font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(screen.Context(), &metrics);
    return metrics.tmHeight;
}

HWND MakeControl(HWND parent, int id, const wchar_t* className, std::wstring_view text, DWORD style,
                 DWORD extendedStyle, RECT bounds, HFONT font) {
    const std::wstring title(text);
    const HWND control =
        CreateWindowExW(extendedStyle, className, title.c_str(), WS_CHILD | WS_VISIBLE | style, bounds.left,
                        bounds.top, Width(bounds), Height(bounds), parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), OwnModule(), nullptr);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

int MakeHeading(HWND parent, std::wstring_view text, int x, int y, const Win32Fonts& fonts) {
    const SIZE size = fonts.Measure(fonts.Heading(), text);
    MakeControl(parent, 0, L"STATIC", text, SS_LEFT | SS_NOPREFIX, 0, {x, y, x + size.cx, y + size.cy},
                fonts.Heading());
    return size.cy;
}

HWND MakeButton(HWND parent, int id, std::wstring_view text, int right, int top, const Win32Fonts& fonts) {
    const int width =
        std::max(static_cast<int>(fonts.Measure(fonts.Text(), text).cx) + 2 * fonts.Scale(ButtonPadding),
                 fonts.Scale(MinimumButtonWidth));
    return MakeControl(parent, id, L"BUTTON", text, WS_TABSTOP | BS_PUSHBUTTON, 0,
                       {right - width, top, right, top + fonts.Scale(ButtonHeight)}, fonts.Text());
}

std::string ControlText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    const int length = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return Utf8FromWide(text);
}

void SetControlText(HWND control, std::string_view text) {
    SetWindowTextW(control, WideFromUtf8(text).c_str());
}

void SetDropDownHeight(HWND comboBox, int height) {
    // The selection field's height; the border around it is the control's own. What the
    // control reads back need not be what it was given, so the request itself is corrected.
    auto field = static_cast<int>(SendMessageW(comboBox, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int round = 0; round < SizingRounds; ++round) {
        RECT bounds{};
        GetWindowRect(comboBox, &bounds);
        const int difference = height - Height(bounds);
        if (difference == 0) {
            return;
        }
        field = std::max(field + difference, 1);
        SendMessageW(comboBox, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

void FillDropDown(HWND comboBox, std::span<const std::string> items, std::string_view selected) {
    SendMessageW(comboBox, CB_RESETCONTENT, 0, 0);
    WPARAM selection = static_cast<WPARAM>(-1);
    for (std::size_t i = 0; i < items.size(); ++i) {
        SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WideFromUtf8(items[i]).c_str()));
        if (items[i] == selected) {
            selection = i;
        }
    }
    SendMessageW(comboBox, CB_SETCURSEL, selection, 0);
}

std::string SelectedText(HWND comboBox) {
    const LRESULT index = SendMessageW(comboBox, CB_GETCURSEL, 0, 0);
    if (index == CB_ERR) {
        return {};
    }
    const LRESULT length = SendMessageW(comboBox, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == CB_ERR) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(comboBox, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return Utf8FromWide(text);
}

int TextBoxHeightForRows(HWND textBox, int rows, const Win32Fonts& fonts) {
    ShowScrollBar(textBox, SB_BOTH, FALSE);
    RECT window{};
    RECT client{};
    GetWindowRect(textBox, &window);
    GetClientRect(textBox, &client);
    const int wanted = rows * fonts.LineHeight(fonts.Text());
    int height = Height(window) - Height(client) + wanted;
    // The box keeps a margin of its own inside the client area, and only whole lines in
    // its text area: grow until `rows` lines fit.
    for (int growth = 0; growth < GrowthLimit; ++growth) {
        SetWindowPos(textBox, nullptr, 0, 0, Width(window), height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT text{};
        SendMessageW(textBox, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&text));
        if (Height(text) >= wanted) {
            break;
        }
        ++height;
    }
    return height;
}

void ShowNeededScrollBars(HWND textBox, const Win32Fonts& fonts) {
    const int lineHeight = fonts.LineHeight(fonts.Text());
    const int verticalBar = GetSystemMetrics(SM_CXVSCROLL);
    const int horizontalBar = GetSystemMetrics(SM_CYHSCROLL);
    if (!HasStyle(textBox, ES_AUTOHSCROLL)) {
        // Wrapped text: the line count follows the width, so it is counted without the bar.
        ShowScrollBarIf(textBox, SB_VERT, WS_VSCROLL, false);
        RECT client{};
        GetClientRect(textBox, &client);
        const auto lines = static_cast<int>(SendMessageW(textBox, EM_GETLINECOUNT, 0, 0));
        ShowScrollBarIf(textBox, SB_VERT, WS_VSCROLL, lines * lineHeight > Height(client));
        return;
    }
    RECT client{};
    GetClientRect(textBox, &client);
    int width = Width(client) + (HasStyle(textBox, WS_VSCROLL) ? verticalBar : 0);
    const int height = Height(client) + (HasStyle(textBox, WS_HSCROLL) ? horizontalBar : 0);
    const auto margins = static_cast<DWORD>(SendMessageW(textBox, EM_GETMARGINS, 0, 0));
    width -= LOWORD(margins) + HIWORD(margins);

    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(textBox)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        std::max(GetWindowTextW(textBox, text.data(), static_cast<int>(text.size())), 0)));
    const std::vector<std::wstring_view> lines = Lines(text);
    int widest = 0;
    for (const std::wstring_view line : lines) {
        widest = std::max(widest, static_cast<int>(fonts.Measure(fonts.Text(), line).cx) + CaretRoom);
    }
    const int tall = static_cast<int>(lines.size()) * lineHeight;
    bool vertical = tall > height;
    const bool horizontal = widest > width - (vertical ? verticalBar : 0);
    vertical = tall > height - (horizontal ? horizontalBar : 0);
    ShowScrollBarIf(textBox, SB_VERT, WS_VSCROLL, vertical);
    ShowScrollBarIf(textBox, SB_HORZ, WS_HSCROLL, horizontal);
}

void FitAndCenter(HWND window, SIZE client) {
    RECT frame{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    const HMONITOR monitor = MonitorFromWindow(GetForegroundWindow(), MONITOR_DEFAULTTOPRIMARY);
    MONITORINFO info{};
    info.cbSize = sizeof(info);
    RECT work{0, 0, Width(frame), Height(frame)};
    if (GetMonitorInfoW(monitor, &info) != FALSE) {
        work = info.rcWork;
    }
    const int x = work.left + std::max((Width(work) - Width(frame)) / 2, 0);
    const int y = work.top + std::max((Height(work) - Height(frame)) / 2, 0);
    SetWindowPos(window, nullptr, x, y, Width(frame), Height(frame), SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace Tralvonic
