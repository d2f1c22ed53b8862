#pragma once
// The plugin started in the simulated client inside a host with a QApplication on the test's
// main thread. The main thread stands for the host's GUI thread: it runs Qt's events while a
// test waits, so that the plugin's queued GUI work and the simulated host's threads go on.

#include "unit/plugin/PluginFixture.h"

#include "plugin/TeamSpeakCallback.h"

#include "Window/QtMenuWindows.h"
#include "core/Base.h"

#include <QApplication>
#include <QWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <future>
#include <memory>
#include <string>

namespace Tralvonic::Test {

using Clock = std::chrono::steady_clock;
constexpr auto WindowDeadline = std::chrono::seconds(10);

// Runs the GUI thread's events until `done` holds; false at the deadline.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds deadline = WindowDeadline) {
    const auto end = Clock::now() + deadline;
    while (!done()) {
        if (Clock::now() > end) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

inline QWidget* VisibleWindow(const QString& title) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == title) {
            return widget;
        }
    }
    return nullptr;
}

inline int CountWindows(const QString& title) {
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        count += widget->windowTitle() == title ? 1 : 0;
    }
    return count;
}

// Where the tests leave pictures of the windows for a person to look at.
inline std::filesystem::path ArtifactPath(const std::string& name) {
    const std::filesystem::path folder = std::filesystem::path(TRALVONIC_TEST_ARTIFACTS);
    std::filesystem::create_directories(folder);
    return folder / name;
}

class WindowTest : public PluginTest {
protected:
    WindowTest() {
        Base::SetMenuWindowFactory(std::make_shared<QtMenuWindowFactory>(PermissionEvents{
            TeamSpeakCallback::PermissionOverview, TeamSpeakCallback::PermissionOverviewFinished,
            TeamSpeakCallback::PermissionError}));
    }

    ~WindowTest() override {
        if (Driver && Driver->IsRunning()) {
            StopWhilePumping();
        }
    }

    // The host's stop from its own thread while the GUI thread stays responsive.
    void StopWhilePumping() {
        auto stopped = std::async(std::launch::async, [this] { StopPlugin(); });
        EXPECT_TRUE(PumpUntil(
            [&] { return stopped.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }));
        stopped.get();
    }

    QWidget* OpenFromMenu(int menuItemId, const QString& title) {
        Driver->SelectMenuItem(0, menuItemId);
        QWidget* window = nullptr;
        EXPECT_TRUE(PumpUntil([&] { return (window = VisibleWindow(title)) != nullptr; }))
            << title.toStdString();
        return window;
    }

    template <typename Widget> static Widget* Control(QWidget* window, const char* name) {
        auto* control = window->findChild<Widget*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
};

} // namespace Tralvonic::Test
