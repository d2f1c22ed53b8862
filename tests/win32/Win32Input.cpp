#include "tests/win32/Win32Input.h"

#include "Window/WindowStyleWin32.h"
#include "core/WideText.h"

#include <gtest/gtest.h>

namespace Tralvonic::Test {

namespace {

constexpr auto PollInterval = std::chrono::milliseconds(5);
// Where a click lands inside a control: clear of its border.
constexpr int ClickOffset = 4;

struct TitleSearch {
    std::wstring Title;
    bool VisibleOnly = false;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<TitleSearch*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId() || (search.VisibleOnly && IsWindowVisible(window) == FALSE)) {
        return TRUE;
    }
    std::wstring title(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    title.resize(
        static_cast<std::size_t>(GetWindowTextW(window, title.data(), static_cast<int>(title.size()))));
    if (title == search.Title) {
        search.Found.push_back(window);
    }
    return TRUE;
}

std::vector<HWND> WindowsTitled(std::wstring_view title, bool visibleOnly) {
    TitleSearch search{std::wstring(title), visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

} // namespace

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline) {
    const auto end = Clock::now() + deadline;
    while (!done()) {
        if (Clock::now() > end) {
            return false;
        }
        Sleep(static_cast<DWORD>(PollInterval.count()));
    }
    return true;
}

HWND VisibleWindow(std::wstring_view title) {
    const auto found = WindowsTitled(title, true);
    return found.empty() ? nullptr : found.front();
}

int CountWindows(std::wstring_view title) {
    return static_cast<int>(WindowsTitled(title, false).size());
}

HWND Control(HWND window, int id) {
    const HWND control = GetDlgItem(window, id);
    EXPECT_NE(control, nullptr) << "control " << id;
    return control;
}

std::string TextOf(HWND control) {
    return ControlText(control);
}

void SetText(HWND control, std::string_view text) {
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
}

bool IsChecked(HWND button) {
    return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND control) {
    return IsWindowEnabled(control) != FALSE;
}

std::vector<std::string> Items(HWND comboBox) {
    std::vector<std::string> items;
    const auto count = SendMessageW(comboBox, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = SendMessageW(comboBox, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        SendMessageW(comboBox, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length));
        items.push_back(Utf8FromWide(text));
    }
    return items;
}

std::string Selected(HWND comboBox) {
    return SelectedText(comboBox);
}

SIZE SizeOf(HWND control) {
    RECT bounds{};
    GetWindowRect(control, &bounds);
    return {bounds.right - bounds.left, bounds.bottom - bounds.top};
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof(info);
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) == FALSE) {
        return nullptr;
    }
    return info.hwndFocus;
}

void Choose(HWND comboBox, std::string_view text) {
    const auto index = SendMessageW(comboBox, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(WideFromUtf8(text).c_str()));
    ASSERT_NE(index, CB_ERR) << text;
    SendMessageW(comboBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(GetParent(comboBox), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(comboBox)), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(comboBox));
}

void Click(HWND button) {
    SendMessageW(button, BM_CLICK, 0, 0);
}

void WaitForWindowThread(HWND window) {
    SendMessageW(window, WM_NULL, 0, 0);
}

bool ClickInto(HWND control) {
    const LPARAM at = MAKELPARAM(ClickOffset, ClickOffset);
    PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageW(control, WM_LBUTTONUP, 0, at);
    const HWND window = GetAncestor(control, GA_ROOT);
    const bool focused = WaitUntil([&] { return FocusOf(window) == control; });
    WaitForWindowThread(window);
    return focused;
}

bool PressTab(HWND control) {
    PostMessageW(control, WM_KEYDOWN, VK_TAB, 1);
    PostMessageW(control, WM_KEYUP, VK_TAB, 1);
    const HWND window = GetAncestor(control, GA_ROOT);
    const bool moved = WaitUntil([&] {
        // The focus is nowhere for a moment while the window's activation changes hands.
        const HWND focus = FocusOf(window);
        return focus != nullptr && focus != control;
    });
    WaitForWindowThread(window);
    return moved;
}

void Type(HWND control, std::string_view text) {
    for (const wchar_t character : WideFromUtf8(text)) {
        PostMessageW(control, WM_CHAR, character, 1);
    }
}

void CloseByUser(HWND window) {
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

} // namespace Tralvonic::Test
