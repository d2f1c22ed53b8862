#pragma once
// The menu windows of the platform the plugin is built for: Qt widgets on Linux
// (QtMenuWindows.cpp), native Win32 windows on Windows (MenuWindowsWin32.cpp). The build
// compiles exactly one of the two.

#include "Window/TroubleWindow.h"
#include "core/MenuWindow.h"

#include <memory>

namespace Tralvonic {

// The troubleshooting window listens to these permission events.
std::shared_ptr<MenuWindowFactory> MakeNativeMenuWindowFactory(PermissionEvents events);

} // namespace Tralvonic
