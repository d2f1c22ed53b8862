// The plugin's own menu windows (Qt widgets on Linux, Win32 windows on Windows), installed into
// the core as soon as the library is loaded, so that the menu and the configure button open them
// from the first start on. The troubleshooting window hears the host's permission answers
// through the callback lists.

#include "plugin/TeamSpeakCallback.h"

#include "Window/NativeMenuWindows.h"
#include "core/Base.h"

#include <memory>

namespace Tralvonic {

namespace {

bool InstallMenuWindows() noexcept {
    try {
        Base::SetMenuWindowFactory(MakeNativeMenuWindowFactory(PermissionEvents{
            TeamSpeakCallback::PermissionOverview, TeamSpeakCallback::PermissionOverviewFinished,
            TeamSpeakCallback::PermissionError}));
        return true;
    } catch (...) {
        // Without the factory the menu logs that the windows are not available.
        return false;
    }
}

[[maybe_unused]] const bool menuWindowsInstalled = InstallMenuWindows();

} // namespace

} // namespace Tralvonic
