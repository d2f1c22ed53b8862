#pragma once
// What the plugin's two Win32 windows share: the system's message font and a bold 14 pt
// heading in the same face, sizes given in 96-dpi pixels and scaled to the screen, child
// controls made in one call, text in UTF-16 at the Win32 boundary (core/WideText.h), drop-downs of an exact
// height, scroll bars only where the text needs them, and the frame sized to its content and
// centred. Window thread only.

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

namespace Tralvonic {

// Layout sizes shared by both windows, in 96-dpi pixels.
constexpr int WindowMargin = 20;
constexpr int RowSpacing = 6;
constexpr int ColumnSpacing = 12;
constexpr int ButtonHeight = 26;

// The module that holds this code: the plugin library (or a test program linked with it).
HINSTANCE OwnModule();

// The fonts of one window; deleted with it.
class Win32Fonts {
public:
    Win32Fonts();
    ~Win32Fonts();
    Win32Fonts(const Win32Fonts&) = delete;
    Win32Fonts& operator=(const Win32Fonts&) = delete;

    HFONT Text() const { return _text; }
    HFONT Heading() const { return _heading; }
    // 96-dpi pixels in the screen's pixels.
    int Scale(int pixels) const;
    SIZE Measure(HFONT font, std::wstring_view text) const;
    // The height of one line of text in `font`.
    int LineHeight(HFONT font) const;

private:
    HFONT _text = nullptr;
    HFONT _heading = nullptr;
    int _dpi = USER_DEFAULT_SCREEN_DPI;
};

// A child control of `parent` with the text font; `bounds` in the window's pixels.
HWND MakeControl(HWND parent, int id, const wchar_t* className, std::wstring_view text, DWORD style,
                 DWORD extendedStyle, RECT bounds, HFONT font);
// A bold heading at (x, y); returns its height.
int MakeHeading(HWND parent, std::wstring_view text, int x, int y, const Win32Fonts& fonts);
// A push button whose width fits its text; `right` is its right edge.
HWND MakeButton(HWND parent, int id, std::wstring_view text, int right, int top, const Win32Fonts& fonts);

std::string ControlText(HWND control);
void SetControlText(HWND control, std::string_view text);

// A drop-down list's whole height, selection field and border, made exactly `height`.
void SetDropDownHeight(HWND comboBox, int height);
// Replaces the items and selects `selected` by exact text (none when it is not among them).
void FillDropDown(HWND comboBox, std::span<const std::string> items, std::string_view selected);
std::string SelectedText(HWND comboBox);

// A multi-line text box's height for `rows` lines of its font, borders and margins included.
int TextBoxHeightForRows(HWND textBox, int rows, const Win32Fonts& fonts);
// Shows a multi-line text box's scroll bars only where its text does not fit.
void ShowNeededScrollBars(HWND textBox, const Win32Fonts& fonts);

// Sizes the frame so that its client area is `client`, centred on the work area of the
// monitor that holds the foreground window (the host's, as a rule).
void FitAndCenter(HWND window, SIZE client);

} // namespace Tralvonic
