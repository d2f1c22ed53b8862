// The plugin's stop on Windows with windows and message boxes open: it returns within a
// second, every window thread joined and every box answered for the user; and a host thread
// that hands an answer to a busy window thread is not held for ever.

#include "tests/win32/Win32WindowFixture.h"

#include "Model/GameInstanceSettings.h"
#include "TeamSpeak/sdk/HostEnums.h"
#include "core/GuiThread.h"
#include "core/TrackedMessageBox.h"
#include "instance/GameInstance.h"

#include <condition_variable>
#include <future>
#include <mutex>
#include <thread>

namespace Tralvonic::Test {
namespace {

constexpr auto StopLimit = std::chrono::seconds(1);
constexpr std::wstring_view SettingsTitle = L"Settings - Tralvonic";
constexpr std::wstring_view TroubleTitle = L"Troubleshooting - Tralvonic";
constexpr std::wstring_view BoxCaption = L"Tralvonic";

// Holds whoever passes it until it is opened.
class Gate {
public:
    void Pass() {
        std::unique_lock lock(_mutex);
        _waiting = true;
        _changed.notify_all();
        _changed.wait(lock, [&] { return _open; });
    }
    bool WaitForSomeoneWaiting() {
        std::unique_lock lock(_mutex);
        return _changed.wait_for(lock, WindowDeadline, [&] { return _waiting; });
    }
    void Open() {
        std::lock_guard lock(_mutex);
        _open = true;
        _changed.notify_all();
    }

private:
    std::mutex _mutex;
    std::condition_variable _changed;
    bool _waiting = false;
    bool _open = false;
};

// A box shown on a thread of its own, as the version check shows its offer.
std::future<int> ShowBoxElsewhere(unsigned int flags, int stopAnswer) {
    return std::async(std::launch::async,
                      [=] { return ShowTrackedMessageBox(BoxCaption, L"Download now?", flags, stopAnswer); });
}

using Win32StopTest = Win32WindowTest;

TEST_F(Win32StopTest, AStopWithBothWindowsOpenClosesThemAndJoinsTheirThreads) {
    ASSERT_EQ(StartPlugin(), 0);
    Driver->SelectMenuItem(0, SettingsMenu);
    Driver->SelectMenuItem(0, TroubleshootingMenu);
    ASSERT_TRUE(WaitUntil(
        [] { return VisibleWindow(SettingsTitle) != nullptr && VisibleWindow(TroubleTitle) != nullptr; }));

    EXPECT_LT(TimedStop(), StopLimit);
    EXPECT_EQ(CountWindows(SettingsTitle), 0);
    EXPECT_EQ(CountWindows(TroubleTitle), 0);
}

TEST_F(Win32StopTest, AHostThreadWaitsForABusyWindowThreadOnlySoLongAndTheStopStillJoinsIt) {
    // The window's thread is held inside its handling of a refusal (in the host's log call for
    // the failed name lookup) while the host's event thread, which also runs the stop, waits
    // for that handling.
    ASSERT_EQ(StartPlugin(), 0);
    Sim::SimServer& server = Sim.AddServer("uid-t", "Server uid-t", TeamSpeak::STATUS_CONNECTION_ESTABLISHED);
    const auto ingame = server.AddChannel("Ingame");
    server.AddOwnClient("Player", ingame);
    Sim.SetCurrentServer(server.Handler());
    Model::GameInstanceSettings settings;
    settings.ServerUniqueIdentifier = "uid-t";
    settings.Name = "Player";
    settings.ChannelId = ingame;
    const auto instance = std::make_shared<GameInstance>(settings);
    ASSERT_EQ(instance->Initiate(), Model::Error::OK);
    Settle();
    Sim::PermissionOverviewAnswer refusal;
    refusal.Error = 2568;
    refusal.FailedPermissionId = 4711;
    Sim.SetPermissionOverviewAnswer(refusal);
    Gate gate;
    Sim.SetLogObserver([&gate](const Sim::LogEntry& entry) {
        if (entry.Message.find(" at TroubleWindow:") != std::string::npos) {
            gate.Pass();
        }
    });

    Driver->SelectMenuItem(0, TroubleshootingMenu);
    ASSERT_TRUE(gate.WaitForSomeoneWaiting());
    EXPECT_FALSE(Sim.WaitForEvents(std::chrono::milliseconds(200)))
        << "the event thread waits for the window";
    EXPECT_TRUE(Sim.WaitForEvents(std::chrono::seconds(5))) << "but not for ever";

    auto stopped = std::async(std::launch::async, [this] { StopPlugin(); });
    EXPECT_EQ(stopped.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout)
        << "the stop joins the window's thread";
    gate.Open();
    EXPECT_EQ(stopped.wait_for(WindowDeadline), std::future_status::ready);
    EXPECT_EQ(CountWindows(TroubleTitle), 0);
    Sim.SetLogObserver(nullptr);
    instance->Reset(false, false);
    instance->JoinThreads();
}

TEST_F(Win32StopTest, AStopAnswersAnOpenMessageBoxAndRefusesLaterOnes) {
    ASSERT_EQ(StartPlugin(), 0);
    auto answer = ShowBoxElsewhere(MB_YESNO | MB_ICONINFORMATION, IDNO);
    ASSERT_TRUE(WaitUntil([] { return VisibleWindow(BoxCaption) != nullptr; }));
    EXPECT_TRUE(SaveScreenshot(VisibleWindow(BoxCaption), ArtifactPath("win32-message-box.png")));

    EXPECT_LT(TimedStop(), StopLimit);
    ASSERT_EQ(answer.wait_for(WindowDeadline), std::future_status::ready) << "answered by the stop";
    EXPECT_EQ(answer.get(), IDNO);
    EXPECT_EQ(CountWindows(BoxCaption), 0);

    const auto start = Clock::now();
    EXPECT_EQ(ShowTrackedMessageBox(BoxCaption, L"Too late", MB_OK, IDOK), IDOK);
    EXPECT_LT(Clock::now() - start, StopLimit) << "refused without being shown";
    EXPECT_EQ(CountWindows(BoxCaption), 0);
}

} // namespace
} // namespace Tralvonic::Test
