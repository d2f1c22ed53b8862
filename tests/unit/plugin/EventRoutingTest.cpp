// Host events reach the game instance of the server they happened on: by the server's unique
// identifier for ordinary events, by the handler id (without asking the host) for the audio
// callbacks; events for servers without an instance change nothing.

#include "unit/plugin/PluginFixture.h"

#include "Model/PlayerState.h"
#include "instance/PlayerState.h"
#include "update/VersionCheck.h"

namespace Tralvonic::Test {
namespace {

using TeamSpeak::STATUS_CONNECTION_ESTABLISHED;
using TeamSpeak::STATUS_DISCONNECTED;

class EventRouting : public PluginTest {
protected:
    // A started plugin and a game instance on the server with this unique identifier that
    // has taken the user into the channel "Ingame".
    std::shared_ptr<GameInstance> StartIngame(Sim::SimServer& server, const std::string& uniqueIdentifier) {
        const auto ingame = server.AddChannel("Ingame");
        EXPECT_EQ(StartPlugin(), 0);
        auto instance = MakeInstance(uniqueIdentifier, ingame);
        Base::AddGameInstance(instance);
        server.ChangeStatus(STATUS_CONNECTION_ESTABLISHED);
        EXPECT_TRUE(
            Sim.WaitFor([&] { return instance->InstanceState() == Model::GameInstanceState::Ingame; }));
        Settle();
        // The start's version check logs whenever its answer comes; ended here, it cannot
        // add host calls to the ones these tests record.
        VersionCheck::Stop();
        return instance;
    }
};

TEST_F(EventRouting, DisconnectWithoutAnInstanceOnThatHandlerDoesNothing) {
    auto& gameServer = AddServer("uid-game");
    auto& otherServer = AddServer("uid-other");
    const auto instance = StartIngame(gameServer, "uid-game");
    Settle();
    Sim.Record().Clear();

    otherServer.ChangeStatus(STATUS_DISCONNECTED);
    Settle();

    EXPECT_TRUE(Sim.Record().All().empty());
    EXPECT_EQ(instance->ServerConnectionHandle(), gameServer.Handler());
    EXPECT_EQ(instance->InstanceState(), Model::GameInstanceState::Ingame);
}

TEST_F(EventRouting, DisconnectReachesTheInstanceByItsHandler) {
    auto& server = AddServer("uid-game");
    const auto instance = StartIngame(server, "uid-game");

    server.ChangeStatus(STATUS_DISCONNECTED);
    Settle();

    EXPECT_EQ(instance->ServerConnectionHandle(), 0u);
    EXPECT_EQ(instance->InstanceState(), Model::GameInstanceState::NotConnected);
}

TEST_F(EventRouting, CaptureHardwareTurnedOnSwitchesItOffForEveryOtherTab) {
    auto& alpha = AddServer("uid-alpha");
    auto& beta = AddServer("uid-beta");
    ASSERT_EQ(StartPlugin(), 0);
    const auto onAlpha = MakeInstance("uid-alpha");
    const auto onBeta = MakeInstance("uid-beta");
    Base::AddGameInstance(onAlpha);
    Base::AddGameInstance(onBeta);

    alpha.UpdateOwnVariable(TeamSpeak::CLIENT_INPUT_HARDWARE, "1");
    Settle();
    EXPECT_TRUE(onAlpha->IsMicrophoneEnabled());
    EXPECT_FALSE(onBeta->IsMicrophoneEnabled());

    beta.UpdateOwnVariable(TeamSpeak::CLIENT_INPUT_HARDWARE, "1");
    Settle();
    EXPECT_FALSE(onAlpha->IsMicrophoneEnabled());
    EXPECT_TRUE(onBeta->IsMicrophoneEnabled());

    // Switching it off concerns only this tab.
    alpha.UpdateOwnVariable(TeamSpeak::CLIENT_INPUT_HARDWARE, "0");
    Settle();
    EXPECT_FALSE(onAlpha->IsMicrophoneEnabled());
    EXPECT_TRUE(onBeta->IsMicrophoneEnabled());
}

TEST_F(EventRouting, MovesBindPlayersAndOnlyTalkingCountsAsTalking) {
    auto& server = AddServer("uid-game");
    const auto instance = StartIngame(server, "uid-game");
    const auto ingame = *server.FindChannel("Ingame");
    const auto lobby = *server.FindChannel("Lobby");
    Model::PlayerState bob;
    bob.Name = "Bob";
    bob.Position = TeamSpeak::TSVector(3.0f, 4.0f, 0.0f);
    bob.VoiceRange = 20.0f;
    instance->OnPlayerStateUpdate(bob);
    std::shared_ptr<PlayerState> player;
    ASSERT_TRUE(instance->TryGetPlayerState("Bob", player));

    const auto bobId = server.ClientJoins("Bob", ingame);
    Settle();
    ASSERT_TRUE(player->Client().has_value());
    EXPECT_EQ(player->Client()->Id(), bobId);

    // A voice that starts is placed again; talking while the capture is disabled is silence.
    const auto placed = Sim.CallCount("channelset3DAttributes");
    server.SetTalking(bobId, TeamSpeak::STATUS_TALKING_WHILE_DISABLED);
    Settle();
    EXPECT_EQ(Sim.CallCount("channelset3DAttributes"), placed);
    server.SetTalking(bobId, TeamSpeak::STATUS_TALKING);
    Settle();
    EXPECT_EQ(Sim.CallCount("channelset3DAttributes"), placed + 1);

    // Moved out by someone else: the same routing as a move of his own.
    server.MoveClientBy(bobId, lobby, server.OwnClient());
    Settle();
    EXPECT_FALSE(player->Client().has_value());
}

TEST_F(EventRouting, AudioCallbacksFindTheInstanceByHandlerWithoutAskingTheHost) {
    auto& server = AddServer("uid-game");
    auto& other = AddServer("uid-other");
    const auto instance = StartIngame(server, "uid-game");
    const auto otherOwn = other.OwnClient();
    Settle();
    Sim.Record().Clear();

    auto& audio = Driver->Audio();
    EXPECT_EQ(audio.Rolloff(server.Handler(), 9, 40.0f, 0.25f), 1.0f);

    // No instance on that tab: the host's values stay as they were.
    EXPECT_EQ(audio.Rolloff(other.Handler(), otherOwn, 40.0f, 0.25f), 0.25f);
    const std::vector<short> voice{100, -200, 300, -400};
    EXPECT_EQ(audio.Playback(other.Handler(), otherOwn, voice, 2), voice);
    EXPECT_EQ(audio.PostProcess(other.Handler(), otherOwn, voice).Samples, voice);
    EXPECT_EQ(audio.MixedPlayback(other.Handler(), voice).Samples, voice);
    const auto captured = audio.Capture(other.Handler(), voice, 2);
    EXPECT_EQ(captured.Samples, voice);
    EXPECT_EQ(captured.Edited, 2);

    EXPECT_TRUE(Sim.Record().All().empty());
}

} // namespace
} // namespace Tralvonic::Test
