#pragma once
// The user's hands on the plugin's Win32 windows: windows found by their titles, controls by
// their ids, and input delivered the way Windows delivers it, as messages to the window's own
// thread. Every wait has a deadline.

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic::Test {

using Clock = std::chrono::steady_clock;
constexpr auto WindowDeadline = std::chrono::seconds(10);

// True once `done` holds; false at the deadline.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds deadline = WindowDeadline);

// The visible top-level window of this process with that title, or null.
HWND VisibleWindow(std::wstring_view title);
// Top-level windows of this process with that title, visible or not.
int CountWindows(std::wstring_view title);

HWND Control(HWND window, int id);
template <typename Id> HWND Control(HWND window, Id id) {
    return Control(window, static_cast<int>(id));
}

std::string TextOf(HWND control);
void SetText(HWND control, std::string_view text);
bool IsChecked(HWND button);
bool IsEnabled(HWND control);
std::vector<std::string> Items(HWND comboBox);
std::string Selected(HWND comboBox);
SIZE SizeOf(HWND control);
// The control that has the keyboard focus on `window`'s thread.
HWND FocusOf(HWND window);

// Returns once the window's thread has finished the message it was handling: the system shows
// a focus change before the window has handled the loss of focus that comes with it.
void WaitForWindowThread(HWND window);
// The user picks `text` in a drop-down list: the selection and the notification it sends.
void Choose(HWND comboBox, std::string_view text);
// A mouse click on a button or check box, carried out on the window's thread.
void Click(HWND button);
// A mouse click into a control, which takes the keyboard focus; true once it has it.
bool ClickInto(HWND control);
// The Tab key on the focused control; true once the focus has moved on.
bool PressTab(HWND control);
// Typed characters, "\r" for the Enter key; they arrive in order after anything posted before.
void Type(HWND control, std::string_view text);
// The user closes the window with its close button.
void CloseByUser(HWND window);

} // namespace Tralvonic::Test
