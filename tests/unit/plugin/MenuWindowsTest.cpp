// The menu windows: one per kind on a thread of its own, opened from the menu or the
// configure button, the settings saved when the settings window closes, and every window
// thread joined by the time the plugin has stopped.

#include "unit/plugin/PluginFixture.h"

#include "core/MenuWindow.h"
#include "core/PerThread.h"
#include "plugin/TeamSpeakCallback.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

namespace Tralvonic::Test {
namespace {

constexpr std::chrono::seconds Deadline{10};

// Set when a window's thread has run to its very end (its per-thread objects destroyed).
class ThreadEnd {
public:
    void Mark() {
        std::lock_guard lock(_mutex);
        _ended = true;
        _changed.notify_all();
    }
    bool IsEnded() {
        std::lock_guard lock(_mutex);
        return _ended;
    }
    bool Wait() {
        std::unique_lock lock(_mutex);
        return _changed.wait_for(lock, Deadline, [&] { return _ended; });
    }

private:
    std::mutex _mutex;
    std::condition_variable _changed;
    bool _ended = false;
};

struct ThreadEndMarker {
    std::shared_ptr<ThreadEnd> End;
    ~ThreadEndMarker() {
        if (End) {
            End->Mark();
        }
    }
};

// A window that stays open until the user or the plugin closes it, and reports its close
// from its own thread, as a modal window does.
class TestWindow final : public IMenuWindow {
public:
    explicit TestWindow(MenuWindow kind) : Kind(kind) {}

    void SetClosedCallback(std::function<void()> closed) override { _closed = std::move(closed); }

    void ShowModal() override {
        static PerThread<ThreadEndMarker> markers;
        markers.Get().End = ThreadEnded;
        std::unique_lock lock(_mutex);
        _shown = true;
        _changed.notify_all();
        _changed.wait(lock, [&] { return _closeRequested; });
        lock.unlock();
        _closed();
    }

    void Close() override { RequestClose(); }
    // The user clicks the window's close button.
    void UserCloses() { RequestClose(); }

    bool WaitUntilShown() {
        std::unique_lock lock(_mutex);
        return _changed.wait_for(lock, Deadline, [&] { return _shown; });
    }

    const MenuWindow Kind;
    const std::shared_ptr<ThreadEnd> ThreadEnded = std::make_shared<ThreadEnd>();

private:
    void RequestClose() {
        std::lock_guard lock(_mutex);
        _closeRequested = true;
        _changed.notify_all();
    }

    std::function<void()> _closed;
    std::mutex _mutex;
    std::condition_variable _changed;
    bool _shown = false;
    bool _closeRequested = false;
};

class TestWindowFactory final : public MenuWindowFactory {
public:
    std::shared_ptr<IMenuWindow> Create(MenuWindow kind) override {
        if (FailNext.exchange(false)) {
            throw std::runtime_error("no display");
        }
        auto window = std::make_shared<TestWindow>(kind);
        std::lock_guard lock(_mutex);
        _windows.push_back(window);
        _changed.notify_all();
        return window;
    }

    // The `count`th window made, once it is shown.
    std::shared_ptr<TestWindow> WaitForWindow(std::size_t count) {
        std::shared_ptr<TestWindow> window;
        {
            std::unique_lock lock(_mutex);
            if (!_changed.wait_for(lock, Deadline, [&] { return _windows.size() >= count; })) {
                return nullptr;
            }
            window = _windows[count - 1];
        }
        return window->WaitUntilShown() ? window : nullptr;
    }

    bool WaitForCreated(std::size_t count, std::chrono::milliseconds timeout) {
        std::unique_lock lock(_mutex);
        return _changed.wait_for(lock, timeout, [&] { return _windows.size() >= count; });
    }

    std::size_t Created() {
        std::lock_guard lock(_mutex);
        return _windows.size();
    }

    std::atomic<bool> FailNext{false};

private:
    std::mutex _mutex;
    std::condition_variable _changed;
    std::vector<std::shared_ptr<TestWindow>> _windows;
};

class MenuWindows : public PluginTest {
protected:
    MenuWindows() { Base::SetMenuWindowFactory(Factory); }

    void ClickMenu(TeamSpeak::uint64 handler, int menuItemId) {
        Driver->SelectMenuItem(handler, menuItemId);
        Settle();
    }

    std::shared_ptr<TestWindowFactory> Factory = std::make_shared<TestWindowFactory>();
};

TEST_F(MenuWindows, SettingsOpenOncePerCloseAndAreSavedWhenTheWindowCloses) {
    ASSERT_EQ(StartPlugin(), 0);
    std::filesystem::remove(Folder.SettingsFile());
    // What the user did in the window: no longer an expert, so validation puts the address
    // back to its default when the window closes.
    Configuration edited = *Base::CurrentConfiguration();
    edited.ExpertMode = false;
    edited.WebSocketAddress = "127.0.0.1:4711";
    Base::SetConfiguration(edited);

    ClickMenu(0, static_cast<int>(MenuItem::Settings));
    const auto first = Factory->WaitForWindow(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Kind, MenuWindow::Settings);

    // A second click, and the configure button, while it is open do nothing.
    ClickMenu(0, static_cast<int>(MenuItem::Settings));
    ts3plugin_configure(nullptr, nullptr);
    EXPECT_EQ(Factory->Created(), 1u);
    EXPECT_FALSE(std::filesystem::exists(Folder.SettingsFile()));

    first->UserCloses();
    ASSERT_TRUE(first->ThreadEnded->Wait());
    ASSERT_TRUE(std::filesystem::exists(Folder.SettingsFile()));
    EXPECT_EQ(Base::CurrentConfiguration()->WebSocketAddress, "127.0.0.1:38088");
    std::filesystem::remove(Folder.SettingsFile());

    ts3plugin_configure(nullptr, nullptr);
    const auto second = Factory->WaitForWindow(2);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Kind, MenuWindow::Settings);
    // Written once per close: nothing while the new window is open.
    EXPECT_FALSE(std::filesystem::exists(Folder.SettingsFile()));
    second->UserCloses();
    ASSERT_TRUE(second->ThreadEnded->Wait());
    EXPECT_TRUE(std::filesystem::exists(Folder.SettingsFile()));
}

TEST_F(MenuWindows, EachKindHasItsOwnWindowAndUnknownEntriesOpenNothing) {
    ASSERT_EQ(StartPlugin(), 0);

    ClickMenu(0, static_cast<int>(MenuItem::Troubleshooting));
    const auto trouble = Factory->WaitForWindow(1);
    ASSERT_NE(trouble, nullptr);
    EXPECT_EQ(trouble->Kind, MenuWindow::Troubleshooting);

    ClickMenu(0, 0);
    ClickMenu(0, 3);
    ClickMenu(0, -1);
    ClickMenu(0, static_cast<int>(MenuItem::Troubleshooting));
    EXPECT_EQ(Factory->Created(), 1u);

    ClickMenu(0, static_cast<int>(MenuItem::Settings));
    const auto settings = Factory->WaitForWindow(2);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->Kind, MenuWindow::Settings);

    // Closing the troubleshooting window saves nothing.
    std::filesystem::remove(Folder.SettingsFile());
    trouble->UserCloses();
    ASSERT_TRUE(trouble->ThreadEnded->Wait());
    EXPECT_FALSE(std::filesystem::exists(Folder.SettingsFile()));
    ClickMenu(0, static_cast<int>(MenuItem::Troubleshooting));
    EXPECT_NE(Factory->WaitForWindow(3), nullptr);
}

TEST_F(MenuWindows, StopClosesOpenWindowsAndJoinsTheirThreads) {
    ASSERT_EQ(StartPlugin(), 0);
    ClickMenu(0, static_cast<int>(MenuItem::Settings));
    ClickMenu(0, static_cast<int>(MenuItem::Troubleshooting));
    const auto settings = Factory->WaitForWindow(1);
    const auto trouble = Factory->WaitForWindow(2);
    ASSERT_NE(settings, nullptr);
    ASSERT_NE(trouble, nullptr);

    StopPlugin();

    // Checked without waiting: the stop has returned, so both threads must have ended.
    EXPECT_TRUE(settings->ThreadEnded->IsEnded());
    EXPECT_TRUE(trouble->ThreadEnded->IsEnded());
}

TEST_F(MenuWindows, AWindowThatCannotBeMadeLeavesTheMenuUsable) {
    ASSERT_EQ(StartPlugin(), 0);
    Factory->FailNext = true;

    ClickMenu(0, static_cast<int>(MenuItem::Settings));
    ASSERT_TRUE(Sim.WaitFor([&] { return Logged(LogChannel::Base, "std::runtime_error: no display"); }));

    // The failed window's thread may still be on its way out; the slot is free once it is,
    // so the user may have to click again.
    const auto deadline = std::chrono::steady_clock::now() + Deadline;
    while (Factory->Created() == 0 && std::chrono::steady_clock::now() < deadline) {
        ClickMenu(0, static_cast<int>(MenuItem::Settings));
        Factory->WaitForCreated(1, std::chrono::milliseconds(20));
    }
    EXPECT_NE(Factory->WaitForWindow(1), nullptr);
}

TEST_F(MenuWindows, WithoutAFactoryTheMenuOpensNothing) {
    Base::SetMenuWindowFactory(nullptr);
    ASSERT_EQ(StartPlugin(), 0);

    ClickMenu(0, static_cast<int>(MenuItem::Settings));
    ClickMenu(0, static_cast<int>(MenuItem::Troubleshooting));

    EXPECT_EQ(Factory->Created(), 0u);
    EXPECT_TRUE(Logged(LogChannel::Base, "Settings window is not available"));
    EXPECT_TRUE(Logged(LogChannel::Base, "Troubleshooting window is not available"));
}

} // namespace
} // namespace Tralvonic::Test
