// The troubleshooting window against the simulated client: the lines for each state of the
// current tab, the whisper permissions the server reports (scripted entries, the end of the
// overview, refusals), and StartButton while the answer is outstanding.

#include "tests/window/WindowFixture.h"

#include "Model/GameInstanceSettings.h"
#include "TeamSpeak/sdk/HostEnums.h"
#include "Window/TroubleWindow.h"
#include "instance/GameInstance.h"
#include "link/WebSocket.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <future>

namespace Tralvonic::Test {
namespace {

const QString Title = "Troubleshooting - Tralvonic";
constexpr int TroubleshootingMenu = 2;
constexpr unsigned WhisperPowerId = 21;
constexpr unsigned NeededWhisperPowerId = 22;
const std::string Note =
    "Note that the client whisper power (i_client_whisper_power) of each player must be higher "
    "or equal to the needed client whisper power (i_client_needed_whisper_power) of all players";

class TroubleWindowTest : public WindowTest {
protected:
    TroubleWindowTest() {
        Sim.SetPermissionId("i_client_whisper_power", WhisperPowerId);
        Sim.SetPermissionId("i_client_needed_whisper_power", NeededWhisperPowerId);
    }

    ~TroubleWindowTest() override {
        ReleaseAnswers();
        if (instance) {
            instance->Reset(false, false);
            instance->JoinThreads();
        }
    }

    // A connected tab "Server uid-t" with the user in `channel` and an instance for it whose
    // in-game channel is `Ingame` and whose swiss channel is `Support`.
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

    static void Answer(Sim::SimulatedClient& sim, std::vector<std::pair<unsigned, int>> entries) {
        Sim::PermissionOverviewAnswer answer;
        for (const auto& [id, value] : entries) {
            Sim::PermissionOverviewEntry entry;
            entry.PermissionId = id;
            entry.PermissionValue = value;
            answer.Entries.push_back(entry);
        }
        sim.SetPermissionOverviewAnswer(answer);
    }

    QWidget* Open() { return OpenFromMenu(TroubleshootingMenu, Title); }

    // Opens the window with the host's event thread held behind the click, so the answer to
    // the permission request waits until ReleaseAnswers.
    QWidget* OpenWithAnswersHeld() {
        Driver->SelectMenuItem(0, TroubleshootingMenu);
        Sim.Raise([held = _held](const Sim::PluginExports&) { held.wait(); });
        QWidget* window = nullptr;
        EXPECT_TRUE(PumpUntil([&] { return (window = VisibleWindow(Title)) != nullptr; }));
        return window;
    }

    void ReleaseAnswers() {
        if (!_released) {
            _released = true;
            _release.set_value();
        }
    }

    static QStringList Lines(QWidget* window) {
        QString text = Control<QPlainTextEdit>(window, "LogBox")->toPlainText();
        EXPECT_TRUE(text.endsWith("\n")) << "every line ends with a line break";
        text.chop(1);
        return text.split("\n");
    }

    static QPushButton* StartButton(QWidget* window) { return Control<QPushButton>(window, "StartButton"); }

    bool WaitForLine(QWidget* window, const std::string& line) {
        return PumpUntil([&] { return Lines(window).contains(QString::fromStdString(line)); });
    }

    TeamSpeak::uint64 ingame = 0;
    std::shared_ptr<GameInstance> instance;

private:
    std::promise<void> _release;
    std::shared_future<void> _held = _release.get_future().share();
    bool _released = false;
};

std::string WebSocketLine() {
    return "WebSocket is running at " + Base::WebSocket()->Address().value_or("") +
           " with 0 open connection(s)";
}

TEST_F(TroubleWindowTest, ATabThatIsNotConnectedGivesThreeLinesAndNoPermissionRequest) {
    ASSERT_EQ(StartPlugin(), 0);
    Sim::SimServer& server = AddServer("uid-off", TeamSpeak::STATUS_DISCONNECTED);
    Sim.SetCurrentServer(server.Handler());
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Lines(window), QStringList({"Configuration is loaded", QString::fromStdString(WebSocketLine()),
                                          "Your current TeamSpeak tab is not connected to any server"}));
    EXPECT_EQ(Sim.CallCount("requestPermissionOverview"), 0u);
    EXPECT_TRUE(StartButton(window)->isEnabled());
    EXPECT_EQ(StartButton(window)->text(), "Start Troubleshooting");
}

TEST_F(TroubleWindowTest, AServerWithoutInstanceIsNamedWithItsIdentifier) {
    ASSERT_EQ(StartPlugin(), 0);
    Sim::SimServer& server = AddServer("uid-n");
    Sim.SetCurrentServer(server.Handler());
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);
    const QStringList lines = Lines(window);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[2], "Connected to Server uid-n (UID: uid-n)");
    EXPECT_EQ(lines[3], "There is no active instace for this server.");
}

TEST_F(TroubleWindowTest, TheSwissChannelEndsTheChecks) {
    StartWithInstance(false, true);
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);
    const QStringList lines = Lines(window);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[3], "Found instance for current server, received player states: 0");
    EXPECT_EQ(lines[4],
              "You are currently in a swiss channel, this is a neutral channel where we will not get moved "
              "into the ingame channel (commonly used for support purposes)");
    EXPECT_EQ(Sim.CallCount("requestPermissionOverview"), 0u);
}

TEST_F(TroubleWindowTest, AnUnsetNeededPowerAndAZeroPowerAreShownAsSuch) {
    StartWithInstance(true);
    Answer(Sim, {{WhisperPowerId, 0}});
    QWidget* window = OpenWithAnswersHeld();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(Lines(window).contains("You are currently in the ingame channel"));
    EXPECT_EQ(Lines(window).last(), "Getting whisper permissions...");
    EXPECT_FALSE(StartButton(window)->isEnabled()) << "disabled while the answer is outstanding";
    ReleaseAnswers();

    ASSERT_TRUE(WaitForLine(window, Note));
    const QStringList lines = Lines(window);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[lines.size() - 3], "Your client whisper power (i_client_whisper_power): 0");
    EXPECT_EQ(lines[lines.size() - 2],
              "Your needed client whisper power (i_client_needed_whisper_power): 0 (not set)");
    EXPECT_TRUE(StartButton(window)->isEnabled());
    EXPECT_EQ(TeamSpeakCallback::PermissionOverviewFinished.Count(), 0u) << "handlers removed";
    window->grab().save(QString::fromStdString(ArtifactPath("troubleshooting-window.png").string()));
}

TEST_F(TroubleWindowTest, TheHighestReportedPowerWinsAndARunAgainStartsAfresh) {
    StartWithInstance(true);
    Answer(Sim, {{WhisperPowerId, 50}, {WhisperPowerId, 75}, {NeededWhisperPowerId, 10}, {99, 1000}});
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForLine(window, "Your client whisper power (i_client_whisper_power): 75"));
    EXPECT_TRUE(
        Lines(window).contains("Your needed client whisper power (i_client_needed_whisper_power): 10"));

    Answer(Sim, {{WhisperPowerId, 20}});
    QTest::mouseClick(StartButton(window), Qt::LeftButton);
    EXPECT_FALSE(StartButton(window)->isEnabled());
    ASSERT_TRUE(WaitForLine(window, "Your client whisper power (i_client_whisper_power): 20"));
    EXPECT_TRUE(Lines(window).contains(
        "Your needed client whisper power (i_client_needed_whisper_power): 0 (not set)"));
    EXPECT_EQ(Lines(window).first(), "Configuration is loaded");
    EXPECT_EQ(Sim.CallCount("requestPermissionOverview"), 2u);
}

TEST_F(TroubleWindowTest, ARefusalForAnotherRequesterChangesNothingWhileWaiting) {
    // The checks alone, on lists of their own, so that the events come exactly when the test says.
    StartWithInstance(true);
    CallbackList<PermissionOverviewEventArgs> overview;
    CallbackList<> finished;
    CallbackList<PermissionErrorEventArgs> refused;
    std::vector<std::string> lines;
    bool enabled = true;
    const auto checks = TroubleWindow::Create(
        {overview, finished, refused}, [](std::function<void()> work) { work(); },
        {[&](const std::string& line) { lines.push_back(line); }, [&] { lines.clear(); },
         [&](bool isEnabled) {
             enabled = isEnabled;
         }});
    checks->OnStartClicked();
    ASSERT_TRUE(checks->IsWaitingForPermissions());
    EXPECT_FALSE(enabled);
    overview.Raise({WhisperPowerId, 40});
    refused.Raise({1, "insufficient client permissions", static_cast<TeamSpeak::Error>(2568), "SomeoneElse",
                   WhisperPowerId});
    EXPECT_TRUE(checks->IsWaitingForPermissions());
    EXPECT_FALSE(enabled);
    EXPECT_EQ(lines.back(), "Getting whisper permissions...");

    finished.Raise();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[lines.size() - 3], "Your client whisper power (i_client_whisper_power): 40");
    EXPECT_TRUE(enabled);
    EXPECT_EQ(overview.Count() + finished.Count() + refused.Count(), 0u);
}

TEST_F(TroubleWindowTest, ARefusalNamesThePermissionWhenTheHostKnowsIt) {
    StartWithInstance(true);
    Sim::PermissionOverviewAnswer refusal;
    refusal.Error = 2568;
    refusal.FailedPermissionId = WhisperPowerId;
    Sim.SetPermissionOverviewAnswer(refusal);
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(WaitForLine(window, "Error while getting your whisper permissions: insufficient client "
                                    "permissions (i_client_whisper_power)"));
    EXPECT_TRUE(StartButton(window)->isEnabled());
}

TEST_F(TroubleWindowTest, ARefusalWhoseNameLookupFailsHasNoName) {
    StartWithInstance(true);
    Sim::PermissionOverviewAnswer refusal;
    refusal.Error = 2568;
    refusal.FailedPermissionId = 4711;
    Sim.SetPermissionOverviewAnswer(refusal);
    QWidget* window = Open();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(
        WaitForLine(window, "Error while getting your whisper permissions: insufficient client permissions"));
    EXPECT_TRUE(StartButton(window)->isEnabled());
}

TEST_F(TroubleWindowTest, AWindowClosedWhileWaitingLeavesNoHandlerBehind) {
    StartWithInstance(true);
    Sim::PermissionOverviewAnswer never;
    never.Error = 2568;
    never.FailedPermissionId = WhisperPowerId;
    Sim.SetPermissionOverviewAnswer(never);
    QWidget* window = OpenWithAnswersHeld();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(StartButton(window)->isEnabled());
    window->close();
    ASSERT_TRUE(PumpUntil([] { return CountWindows(Title) == 0; }));
    // The refusal for the closed window arrives now and finds no one.
    ReleaseAnswers();
    EXPECT_EQ(TeamSpeakCallback::PermissionOverview.Count(), 0u);
    EXPECT_EQ(TeamSpeakCallback::PermissionOverviewFinished.Count(), 0u);
    EXPECT_EQ(TeamSpeakCallback::PermissionError.Count(), 0u);
    Settle();
}

} // namespace
} // namespace Tralvonic::Test
