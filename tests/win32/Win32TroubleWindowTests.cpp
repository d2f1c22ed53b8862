// The Win32 troubleshooting window against the simulated client: the lines for each state of
// the current tab, the whisper permissions the server reports, StartButton while the answer is
// outstanding, and the answers handed to the window's thread while it closes.

#include "tests/win32/Win32WindowFixture.h"

#include "Model/GameInstanceSettings.h"
#include "TeamSpeak/sdk/HostEnums.h"
#include "Window/TroubleWindowWin32.h"
#include "instance/GameInstance.h"
#include "link/WebSocket.h"

#include <future>
#include <thread>

namespace Tralvonic::Test {
namespace {

constexpr std::wstring_view Title = L"Troubleshooting - Tralvonic";
constexpr unsigned WhisperPowerId = 21;
constexpr unsigned NeededWhisperPowerId = 22;
using Strings = std::vector<std::string>;
const std::string Note =
    "Note that the client whisper power (i_client_whisper_power) of each player must be higher "
    "or equal to the needed client whisper power (i_client_needed_whisper_power) of all players";

class Win32TroubleWindowTest : public Win32WindowTest {
protected:
    Win32TroubleWindowTest() {
        Sim.SetPermissionId("i_client_whisper_power", WhisperPowerId);
        Sim.SetPermissionId("i_client_needed_whisper_power", NeededWhisperPowerId);
    }

    ~Win32TroubleWindowTest() override {
        ReleaseAnswers();
        if (instance) {
            instance->Reset(false, false);
            instance->JoinThreads();
        }
    }

    // A connected tab "Server uid-t" with the user in the in-game channel, the swiss channel
    // "Support" or the lobby, and an instance for it.
    void StartWithInstance(bool inIngameChannel, bool inSwissChannel = false) {
        ASSERT_EQ(StartPlugin(), 0);
        Sim::SimServer& server =
            Sim.AddServer("uid-t", "Server uid-t", TeamSpeak::STATUS_CONNECTION_ESTABLISHED);
        const auto lobby = server.AddChannel("Lobby");
        ingame = server.AddChannel("Ingame");
        const auto support = server.AddChannel("Support");
        server.AddOwnClient("Player", inIngameChannel ? ingame : (inSwissChannel ? support : lobby));
        Sim.SetCurrentServer(server.Handler());
        Model::GameInstanceSettings settings;
        settings.ServerUniqueIdentifier = "uid-t";
        settings.Name = "Player";
        settings.ChannelId = ingame;
        settings.SwissChannelIds = {support};
        instance = std::make_shared<GameInstance>(settings);
        ASSERT_EQ(instance->Initiate(), Model::Error::OK);
        Settle();
    }

    void Answer(std::vector<std::pair<unsigned, int>> entries) {
        Sim::PermissionOverviewAnswer answer;
        for (const auto& [id, value] : entries) {
            Sim::PermissionOverviewEntry entry;
            entry.PermissionId = id;
            entry.PermissionValue = value;
            answer.Entries.push_back(entry);
        }
        Sim.SetPermissionOverviewAnswer(answer);
    }

    void Refuse(unsigned failedPermissionId) {
        Sim::PermissionOverviewAnswer refusal;
        refusal.Error = 2568;
        refusal.FailedPermissionId = failedPermissionId;
        Sim.SetPermissionOverviewAnswer(refusal);
    }

    HWND Open() { return OpenFromMenu(TroubleshootingMenu, Title); }

    // Opens the window with the host's event thread held behind the click, so the answer to
    // the permission request waits until ReleaseAnswers.
    HWND OpenWithAnswersHeld() {
        Driver->SelectMenuItem(0, TroubleshootingMenu);
        Sim.Raise([held = _held](const Sim::PluginExports&) { held.wait(); });
        HWND window = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (window = VisibleWindow(Title)) != nullptr; }));
        return window;
    }

    void ReleaseAnswers() {
        if (!_released) {
            _released = true;
            _release.set_value();
        }
    }

    static Strings Lines(HWND window) {
        std::string text = TextOf(Control(window, TroubleControl::LogBox));
        Strings lines;
        EXPECT_TRUE(text.ends_with("\r\n")) << "every line ends with a line break";
        std::size_t start = 0;
        for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }

    static HWND StartButton(HWND window) { return Control(window, TroubleControl::StartButton); }

    static bool WaitForLine(HWND window, const std::string& line) {
        return WaitUntil([&] {
            const Strings lines = Lines(window);
            return std::find(lines.begin(), lines.end(), line) != lines.end();
        });
    }

    TeamSpeak::uint64 ingame = 0;
    std::shared_ptr<GameInstance> instance;

private:
    std::promise<void> _release;
    std::shared_future<void> _held = _release.get_future().share();
    bool _released = false;
};

struct ClosedAndJoined {
    IMenuWindow& Window;
    std::thread& Thread;
    ~ClosedAndJoined() {
        Window.Close();
        Thread.join();
    }
};

std::string WebSocketLine() {
    return "WebSocket is running at " + Base::WebSocket()->Address().value_or("") +
           " with 0 open connection(s)";
}

TEST_F(Win32TroubleWindowTest, ATabThatIsNotConnectedGivesThreeLinesAndNoPermissionRequest) {
    ASSERT_EQ(StartPlugin(), 0);
    Sim::SimServer& server = AddServer("uid-off", TeamSpeak::STATUS_DISCONNECTED);
    Sim.SetCurrentServer(server.Handler());
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Lines(window), (Strings{"Configuration is loaded", WebSocketLine(),
                                      "Your current TeamSpeak tab is not connected to any server"}));
    EXPECT_EQ(Sim.CallCount("requestPermissionOverview"), 0u);
    EXPECT_TRUE(IsEnabled(StartButton(window)));
    EXPECT_EQ(TextOf(StartButton(window)), "Start Troubleshooting");
    EXPECT_EQ(GetWindowLongW(Control(window, TroubleControl::LogBox), GWL_STYLE) &
                  (ES_READONLY | ES_MULTILINE),
              ES_READONLY | ES_MULTILINE);
}

TEST_F(Win32TroubleWindowTest, AServerWithoutInstanceIsNamedWithItsIdentifier) {
    ASSERT_EQ(StartPlugin(), 0);
    Sim::SimServer& server = AddServer("uid-n");
    Sim.SetCurrentServer(server.Handler());
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    const Strings lines = Lines(window);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2], "Connected to Server uid-n (UID: uid-n)");
    EXPECT_EQ(lines[3], "There is no active instace for this server.");
}

TEST_F(Win32TroubleWindowTest, TheSwissChannelEndsTheChecks) {
    StartWithInstance(false, true);
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    const Strings lines = Lines(window);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[3], "Found instance for current server, received player states: 0");
    EXPECT_EQ(lines[4],
              "You are currently in a swiss channel, this is a neutral channel where we will not get moved "
              "into the ingame channel (commonly used for support purposes)");
    EXPECT_EQ(Sim.CallCount("requestPermissionOverview"), 0u);
}

TEST_F(Win32TroubleWindowTest, AnUnsetNeededPowerAndAZeroPowerAreShownAsSuch) {
    StartWithInstance(true);
    Answer({{WhisperPowerId, 0}});
    const HWND window = OpenWithAnswersHeld();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Lines(window).back(), "Getting whisper permissions...");
    EXPECT_FALSE(IsEnabled(StartButton(window))) << "disabled while the answer is outstanding";
    ReleaseAnswers();

    ASSERT_TRUE(WaitForLine(window, Note));
    const Strings lines = Lines(window);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "Your client whisper power (i_client_whisper_power): 0");
    EXPECT_EQ(lines[lines.size() - 2],
              "Your needed client whisper power (i_client_needed_whisper_power): 0 (not set)");
    EXPECT_TRUE(IsEnabled(StartButton(window)));
    EXPECT_EQ(TeamSpeakCallback::PermissionOverviewFinished.Count(), 0u) << "handlers removed";
    EXPECT_TRUE(SaveScreenshot(window, ArtifactPath("win32-troubleshooting-window.png")));
}

TEST_F(Win32TroubleWindowTest, TheHighestReportedPowerWinsAndARunAgainStartsAfresh) {
    StartWithInstance(true);
    Answer({{WhisperPowerId, 50}, {WhisperPowerId, 75}, {NeededWhisperPowerId, 10}, {99, 1000}});
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForLine(window, "Your client whisper power (i_client_whisper_power): 75"));
    ASSERT_TRUE(WaitForLine(window, "Your needed client whisper power (i_client_needed_whisper_power): 10"));

    Answer({{WhisperPowerId, 20}});
    ASSERT_TRUE(WaitUntil([&] { return IsEnabled(StartButton(window)); }));
    Click(StartButton(window));
    ASSERT_TRUE(WaitForLine(window, "Your client whisper power (i_client_whisper_power): 20"));
    ASSERT_TRUE(
        WaitForLine(window, "Your needed client whisper power (i_client_needed_whisper_power): 0 (not set)"));
    EXPECT_EQ(Lines(window).front(), "Configuration is loaded");
    EXPECT_EQ(Sim.CallCount("requestPermissionOverview"), 2u);
}

TEST_F(Win32TroubleWindowTest, ARefusalNamesThePermissionWhenTheHostKnowsIt) {
    StartWithInstance(true);
    Refuse(WhisperPowerId);
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForLine(window, "Error while getting your whisper permissions: insufficient client "
                                    "permissions (i_client_whisper_power)"));
    EXPECT_TRUE(IsEnabled(StartButton(window)));
}

TEST_F(Win32TroubleWindowTest, ARefusalWhoseNameLookupFailsHasNoName) {
    StartWithInstance(true);
    Refuse(4711);
    const HWND window = Open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(
        WaitForLine(window, "Error while getting your whisper permissions: insufficient client permissions"));
    EXPECT_TRUE(IsEnabled(StartButton(window)));
}

TEST_F(Win32TroubleWindowTest, AWindowClosedWhileWaitingLeavesNoHandlerBehind) {
    StartWithInstance(true);
    Refuse(WhisperPowerId);
    const HWND window = OpenWithAnswersHeld();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(IsEnabled(StartButton(window)));
    CloseByUser(window);
    ASSERT_TRUE(WaitUntil([] { return CountWindows(Title) == 0; }));
    // The refusal for the closed window arrives now and finds no one.
    ReleaseAnswers();
    Settle();
    EXPECT_EQ(TeamSpeakCallback::PermissionOverview.Count(), 0u);
    EXPECT_EQ(TeamSpeakCallback::PermissionOverviewFinished.Count(), 0u);
    EXPECT_EQ(TeamSpeakCallback::PermissionError.Count(), 0u);
}

TEST_F(Win32TroubleWindowTest, AnAnswerForAWindowThatIsClosingIsDroppedWithoutWaiting) {
    // The window's own lists, so that the answer comes exactly when the test says.
    StartWithInstance(true);
    CallbackList<PermissionOverviewEventArgs> overview;
    CallbackList<> finished;
    CallbackList<PermissionErrorEventArgs> refused;
    Win32MenuWindowFactory factory({overview, finished, refused});
    const auto menuWindow = factory.Create(MenuWindow::Troubleshooting);
    std::thread windowThread([&] { menuWindow->ShowModal(); });
    const ClosedAndJoined closedAtTheEnd{*menuWindow, windowThread};
    ASSERT_TRUE(WaitUntil([] { return VisibleWindow(Title) != nullptr; }));
    ASSERT_TRUE(WaitUntil([&] { return finished.Count() == 1; })) << "waiting for permissions";

    menuWindow->Close();
    auto answered = std::async(std::launch::async, [&] { finished.Raise(); });
    EXPECT_EQ(answered.wait_for(WindowDeadline), std::future_status::ready);
    EXPECT_TRUE(WaitUntil([] { return CountWindows(Title) == 0; }));
}

} // namespace
} // namespace Tralvonic::Test
