#pragma once
// The plugin started in the simulated client with its Win32 windows installed, for tests that
// open them from the plugin menu and drive them with the user's hands (Win32Input.h).

#include "unit/plugin/PluginFixture.h"

#include "plugin/TeamSpeakCallback.h"

#include "Window/MenuWindowsWin32.h"
#include "core/Base.h"

#include "tests/win32/Screenshot.h"
#include "tests/win32/Win32Input.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

namespace Tralvonic::Test {

constexpr int SettingsMenu = 1;
constexpr int TroubleshootingMenu = 2;

class Win32WindowTest : public PluginTest {
protected:
    Win32WindowTest() {
        Base::SetMenuWindowFactory(std::make_shared<Win32MenuWindowFactory>(PermissionEvents{
            TeamSpeakCallback::PermissionOverview, TeamSpeakCallback::PermissionOverviewFinished,
            TeamSpeakCallback::PermissionError}));
    }

    ~Win32WindowTest() override {
        if (Driver && Driver->IsRunning()) {
            StopPlugin();
        }
    }

    HWND OpenFromMenu(int menuItemId, std::wstring_view title) {
        Driver->SelectMenuItem(0, menuItemId);
        HWND window = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (window = VisibleWindow(title)) != nullptr; }));
        return window;
    }

    // The stop as the host makes it; its duration.
    std::chrono::milliseconds TimedStop() {
        const auto start = Clock::now();
        StopPlugin();
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    }
};

} // namespace Tralvonic::Test
