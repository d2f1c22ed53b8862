// A game takes the user over and gives him back: Initiate before and after the host connects,
// the in-game name and channel enforced, swiss channels, refused moves, failures at connect,
// disconnects, the keepalive and the reset, all through the built plugin in the simulated
// client and a real WebSocket client in the game's place.

#include "unit/game/GameOnPluginFixture.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <optional>
#include <thread>

namespace Tralvonic::Test {
namespace {

using Clock = std::chrono::steady_clock;

std::string PluginStateMessage(int activeInstances) {
    return R"({"Command":0,"ServerUniqueIdentifier":"game-server-uid=","Parameter":{"Version":"3.1.2","ActiveInstances":)" +
           std::to_string(activeInstances) + "}}";
}

std::string ErrorMessage(int error, const std::string& message = "null") {
    return R"({"Error":)" + std::to_string(error) + R"(,"Message":)" + message +
           R"(,"ServerIdentifier":"game-server-uid="})";
}

constexpr int InvalidValue = 6;
constexpr int ChannelNotAvailable = 4;
constexpr int ResetCommand = 2;
constexpr int SoundStateCommand = 6;

using InstanceLifecycle = GameOnPlugin;

TEST_F(InstanceLifecycle, InitiateBeforeTheHostConnectsWaitsAndTakesTheUserOverOnConnect) {
    StartPlugin();
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    EXPECT_TRUE(game->WaitForText(PluginStateMessage(1)));
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(0)));
    EXPECT_EQ(OwnNickname(), "Tester");

    Server->Connect();
    EXPECT_TRUE(WaitForOwnNickname("Player"));
    EXPECT_TRUE(WaitForOwnChannel(Ingame));
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(2)));
    EXPECT_TRUE(game->WaitForCommand(SoundStateCommand));
    EXPECT_TRUE(WaitForHostLog("Joined instance channel (Ingame), our client ID is "));
}

TEST_F(InstanceLifecycle, InitiateAfterTheHostConnectedRenamesAndMovesAtOnce) {
    StartPlugin();
    Server->Connect();
    ASSERT_TRUE(Sim.WaitForEvents());
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    EXPECT_TRUE(WaitForOwnNickname("Player"));
    EXPECT_TRUE(WaitForOwnChannel(Ingame));
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(2)));
    EXPECT_TRUE(HostLogHas("Renamed from \"Tester\" to instance name \"Player\""));
    EXPECT_TRUE(HostLogHas("Switching channel from Lobby to instance channel Ingame..."));
}

TEST_F(InstanceLifecycle, AUserAlreadyInPlaceIsIngameAtOnceWithHisRealSoundState) {
    Server->MoveClient(Server->OwnClient(), Ingame);
    Server->SetClientVariable(Server->OwnClient(), TeamSpeak::CLIENT_NICKNAME, "Player");
    Server->SetClientVariable(Server->OwnClient(), TeamSpeak::CLIENT_INPUT_MUTED, "1");
    StartPlugin();
    Server->Connect();
    ASSERT_TRUE(Sim.WaitForEvents());
    const auto movesBefore = Sim.CallCount("requestClientMove");

    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(2)));
    // The flags as the host has them, not the defaults.
    EXPECT_TRUE(game->WaitForText(
        R"({"Command":6,"ServerUniqueIdentifier":"game-server-uid=","Parameter":{"IsMicrophoneMuted":true,)"
        R"("IsMicrophoneEnabled":true,"IsSoundMuted":false,"IsSoundEnabled":true}})"));
    EXPECT_EQ(Sim.CallCount("requestClientMove"), movesBefore);
    EXPECT_TRUE(HostLogHas("No rename needed, already has the instance name (Player)"));
    EXPECT_TRUE(HostLogHas("No channel switch needed, already in instance channel (Ingame)"));
}

TEST_F(InstanceLifecycle, SwissChannelsAtAnyDepthLeaveTheUserAloneUntilHeLeavesTheTree) {
    Server->MoveClient(Server->OwnClient(), SwissDeep);
    StartPlugin();
    Server->Connect();
    ASSERT_TRUE(Sim.WaitForEvents());
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame, R"(,"SwissChannelIds":[)" + std::to_string(Swiss) + "]"));
    EXPECT_TRUE(WaitForHostLog("We are currently in a swiss channel, so we don't move"));
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(3)));
    ASSERT_TRUE(Sim.WaitForEvents());
    EXPECT_EQ(OwnNickname(), "Tester");
    EXPECT_EQ(OwnChannel(), SwissDeep);

    // Renaming himself in there is his business.
    Server->UpdateOwnVariable(TeamSpeak::CLIENT_NICKNAME, "Swiss Tester");
    ASSERT_TRUE(Sim.WaitForEvents());
    EXPECT_EQ(OwnNickname(), "Swiss Tester");

    // Out of the tree into any other channel: sent back to the game's channel, renamed.
    Server->MoveClient(Server->OwnClient(), Other);
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(1)));
    EXPECT_TRUE(WaitForOwnChannel(Ingame));
    EXPECT_TRUE(WaitForOwnNickname("Player"));
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(2)));

    // Into the tree again: the old name comes back and nobody is whispered to.
    Server->MoveClient(Server->OwnClient(), SwissSub);
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(3)));
    EXPECT_TRUE(WaitForOwnNickname("Tester"));
    const auto whispers = Server->Whispers();
    ASSERT_TRUE(whispers.has_value());
    EXPECT_FALSE(whispers->Channels.has_value());
    EXPECT_FALSE(whispers->Clients.has_value());
}

TEST_F(InstanceLifecycle, ARefusedMoveLeavesTheStateUntilALaterMoveSucceeds) {
    StartPlugin();
    Server->Connect();
    ASSERT_TRUE(Sim.WaitForEvents());
    Server->RefuseNextMove(TeamSpeak::Error::ChannelInvalidPassword);
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(0)));
    EXPECT_TRUE(WaitForOwnNickname("Player"));
    ASSERT_TRUE(Sim.WaitForEvents());
    EXPECT_EQ(OwnChannel(), Lobby);

    // The user goes somewhere himself; the instance asks for its channel again.
    Server->MoveClient(Server->OwnClient(), Other);
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(1)));
    EXPECT_TRUE(WaitForOwnChannel(Ingame));
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(2)));
}

TEST_F(InstanceLifecycle, TheInGameNameIsEnforcedInTheInstanceChannel) {
    StartPlugin();
    Server->Connect();
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    ASSERT_TRUE(game->WaitForText(InstanceStateMessage(2)));

    Server->UpdateOwnVariable(TeamSpeak::CLIENT_NICKNAME, "Someone Else");
    EXPECT_TRUE(WaitForHostLog("Name changed to \"Someone Else\" but should be \"Player\", changing..."));
    EXPECT_TRUE(WaitForOwnNickname("Player"));
}

TEST_F(InstanceLifecycle, OtherClientsEnteringAndLeavingTheChannel) {
    StartPlugin();
    Server->Connect();
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    ASSERT_TRUE(game->WaitForText(InstanceStateMessage(2)));

    Server->MoveClient(Bob, Ingame);
    EXPECT_TRUE(
        WaitForHostLog("Client Bob joined instance channel, but we don't have a PlayerState for him"));
    const auto position = Server->PositionOf(Bob);
    ASSERT_TRUE(position.has_value());
    EXPECT_EQ(position->x, 0.0f);

    Server->MoveClient(Bob, Other);
    EXPECT_TRUE(WaitForHostLog("Bob (" + std::to_string(Bob) + ") left the instance channel"));
    Server->MoveClient(Bob, Ingame);
    ASSERT_TRUE(Sim.WaitForEvents());
    Server->ClientLeaves(Bob);
    EXPECT_TRUE(WaitForHostLog(
        "A client (" + std::to_string(Bob) +
        ") left the TeamSpeak server or switched to an unsubscribed channel - can't reset him"));
}

TEST_F(InstanceLifecycle, ForceSilencedInstanceChannelIsReportedInTheChat) {
    Server->SetChannelVariable(Ingame, TeamSpeak::CHANNEL_FORCED_SILENCE, "1");
    StartPlugin();
    Server->Connect();
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    ASSERT_TRUE(game->WaitForText(InstanceStateMessage(2)));
    EXPECT_TRUE(Sim.WaitFor([&] { return !Sim.ChatMessages().empty(); }));
    EXPECT_THAT(Sim.ChatMessages(),
                ::testing::Contains(::testing::HasSubstr("Ingame channel is currently force silenced.")));
}

TEST_F(InstanceLifecycle, FailuresAtConnectAreReportedAndTheInstanceLeaves) {
    StartPlugin();
    Server->Connect();
    ASSERT_TRUE(Sim.WaitForEvents());
    auto game = ConnectGame();

    game->Send(Initiate("  ", Ingame));
    EXPECT_TRUE(game->WaitForText(ErrorMessage(InvalidValue)));
    EXPECT_TRUE(game->WaitForCommand(ResetCommand));
    EXPECT_TRUE(game->WaitForText(PluginStateMessage(0)));
    EXPECT_TRUE(HostLogHas("Name was not set or white space"));

    game->Send(Initiate("Player", 999));
    EXPECT_TRUE(game->WaitForText(ErrorMessage(ChannelNotAvailable)));
    EXPECT_TRUE(game->WaitForCommand(ResetCommand));
    EXPECT_TRUE(game->WaitForText(PluginStateMessage(0)));
    EXPECT_TRUE(HostLogHas("Couldn't find a channel with ID 999"));

    game->Send(Initiate("Player", SwissSub, R"(,"SwissChannelIds":[)" + std::to_string(Swiss) + "]"));
    EXPECT_TRUE(
        game->WaitForText(ErrorMessage(InvalidValue, R"("Ingame channel can't be a swiss channel")")));
    EXPECT_TRUE(game->WaitForCommand(ResetCommand));
    EXPECT_TRUE(game->WaitForText(PluginStateMessage(0)));

    ASSERT_TRUE(Sim.WaitForEvents());
    EXPECT_EQ(OwnChannel(), Lobby);
    EXPECT_EQ(OwnNickname(), "Tester");
}

TEST_F(InstanceLifecycle, DisconnectAndReconnect) {
    StartPlugin();
    Server->Connect();
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    ASSERT_TRUE(game->WaitForText(InstanceStateMessage(2)));

    Server->Disconnect();
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(0)));
    Server->MoveClient(Server->OwnClient(), Lobby);
    Server->Connect();
    EXPECT_TRUE(WaitForOwnChannel(Ingame));
    EXPECT_TRUE(game->WaitForText(InstanceStateMessage(2)));
}

TEST_F(InstanceLifecycle, ASilentGameLosesItsInstanceAndTheUserGetsHisNameAndChannelBack) {
    StartPlugin(/*instanceTimeout=*/1);
    Server->Connect();
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    // The game answers until the user is in place, however long the host takes to move him;
    // only then does it fall silent.
    auto lastPong = Clock::now();
    std::optional<std::string> ingame;
    for (const auto until = Clock::now() + ClientTimeout; !ingame && Clock::now() < until;) {
        lastPong = Clock::now();
        game->Send(ServerCommand(4));
        ingame = game->WaitForText(InstanceStateMessage(2), std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(ingame);

    EXPECT_TRUE(game->WaitForText(ServerCommand(ResetCommand)));
    EXPECT_GE(Clock::now() - lastPong, std::chrono::seconds(1));
    // Pinged before it gave up; the first ping may have come before the user was in place.
    const auto& seen = game->Skipped();
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](const std::string& line) {
        return line.starts_with(R"(message {"Command":3,)");
    }));
    EXPECT_TRUE(HostLogHas("No pong command in the last 1 seconds..."));
    EXPECT_TRUE(HostLogHas("GameInstace game-server-uid= will be reset..."));
    EXPECT_TRUE(WaitForOwnNickname("Tester"));
    EXPECT_TRUE(WaitForOwnChannel(Lobby));
    EXPECT_TRUE(game->WaitForText(PluginStateMessage(0)));

    // The server is free again for a new game.
    game->Send(Initiate("Player", Ingame));
    EXPECT_TRUE(game->WaitForText(PluginStateMessage(1)));
}

TEST_F(InstanceLifecycle, AnInstanceResetsOnlyOnceAndWithoutAConnectionOnlyLeaves) {
    StartPlugin(/*instanceTimeout=*/1);
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    ASSERT_TRUE(game->WaitForText(InstanceStateMessage(0)));
    // Never connected: nothing to give back on TeamSpeak, but the game hears of the reset.
    EXPECT_TRUE(game->WaitForText(ServerCommand(ResetCommand)));
    EXPECT_TRUE(game->WaitForText(PluginStateMessage(0)));
    const auto movesAndRenames =
        Sim.CallCount("requestClientMove") + Sim.CallCount("setClientSelfVariableAsString");

    // The stop finds nothing left to reset.
    Driver->Shutdown();
    std::size_t resets = 0;
    for (const auto& entry : Sim.LogEntries()) {
        resets += entry.Message.find("will be reset...") != std::string::npos;
    }
    EXPECT_EQ(resets, 1u);
    EXPECT_EQ(Sim.CallCount("requestClientMove") + Sim.CallCount("setClientSelfVariableAsString"),
              movesAndRenames);
}

TEST_F(InstanceLifecycle, AGameThatAnswersPingsKeepsItsInstance) {
    StartPlugin(/*instanceTimeout=*/1);
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    ASSERT_TRUE(game->WaitForText(InstanceStateMessage(0)));
    const auto until = Clock::now() + std::chrono::milliseconds(2500);
    while (Clock::now() < until) {
        game->Send(ServerCommand(4));
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    // The game's own ping is answered.
    game->Send(ServerCommand(3));
    EXPECT_TRUE(game->WaitForText(ServerCommand(4)));
    for (const auto& line : game->Skipped()) {
        EXPECT_FALSE(line.starts_with(R"(message {"Command":2,)")) << line;
    }
}

TEST_F(InstanceLifecycle, AResetWithoutAnEstablishedConnectionCleansNothingButFreesTheServer) {
    StartPlugin(/*instanceTimeout=*/1);
    Server->Connect();
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    ASSERT_TRUE(game->WaitForText(InstanceStateMessage(2)));
    Server->ChangeStatus(TeamSpeak::STATUS_CONNECTION_ESTABLISHING);

    EXPECT_TRUE(game->WaitForText(ServerCommand(ResetCommand)));
    EXPECT_TRUE(game->WaitForText(PluginStateMessage(0)));
    ASSERT_TRUE(Sim.WaitForEvents());
    EXPECT_EQ(OwnNickname(), "Player");
    EXPECT_EQ(OwnChannel(), Ingame);
    EXPECT_FALSE(HostLogHas("Original name and actual name"));
}

TEST_F(InstanceLifecycle, PluginStopResetsRunningInstancesOnce) {
    StartPlugin();
    Server->Connect();
    auto game = ConnectGame();
    game->Send(Initiate("Player", Ingame));
    ASSERT_TRUE(game->WaitForText(InstanceStateMessage(2)));
    Driver->Shutdown();
    EXPECT_EQ(OwnNickname(), "Tester");
    EXPECT_TRUE(WaitForOwnChannel(Lobby));
    std::size_t resets = 0;
    for (const auto& entry : Sim.LogEntries()) {
        resets += entry.Message.find("will be reset...") != std::string::npos;
    }
    EXPECT_EQ(resets, 1u);
}

} // namespace
} // namespace Tralvonic::Test
