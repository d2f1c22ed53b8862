#pragma once
// Windows: a message box on the calling thread that the plugin's stop knows about. The stop
// (GuiThread::Close) answers an open box for the user and refuses boxes asked for afterwards,
// so that no thread the stop joins can hang in a box that nobody closes.

#include <string_view>

namespace Tralvonic {

// MessageBoxW(nullptr, text, caption, flags) on this thread. Returns the button the user chose
// (IDOK, IDYES, IDNO, ...), or `stopAnswer` when the stop closed the box or came before it.
int ShowTrackedMessageBox(std::wstring_view caption, std::wstring_view text, unsigned int flags,
                          int stopAnswer);

} // namespace Tralvonic
