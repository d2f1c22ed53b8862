// Talk states as the game hears them: the user's own from the captured voice (only changes),
// other players' from the host's talk events (every one, talking while disabled as silence),
// none at all when the game asked for none; and the host's distance rolloff left at full volume.

#include "unit/game/GameOnPluginFixture.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <gmock/gmock.h>

namespace Tralvonic::Test {
namespace {

constexpr int TalkStateCommand = 11;
constexpr int CapturedAndSent = 2;

class TalkStates : public GameOnPlugin {
protected:
    void StartIngame(const std::string& extra = "") {
        StartPlugin();
        Server->Connect();
        Game = ConnectGame();
        Game->Send(Initiate("Player", Ingame, extra));
        ASSERT_TRUE(Game->WaitForText(InstanceStateMessage(2)));
        Server->MoveClient(Bob, Ingame);
        ASSERT_TRUE(Sim.WaitForEvents());
        Game->Send(ServerCommand(
            9, R"({"PlayerStates":[{"Name":"Bob","Position":{"X":30,"Y":0,"Z":0},"VoiceRange":10}],)"
               R"("SelfState":{"VoiceRange":8}})"));
        // Messages of one game are handled in order: once the ping is answered, Bob is bound.
        Game->Send(ServerCommand(3));
        ASSERT_TRUE(Game->WaitForText(ServerCommand(4)));
    }

    void Capture(int edited) { Driver->Audio().Capture(Server->Handler(), std::vector<short>(960), edited); }

    static std::string TalkState(const std::string& name, bool isTalking) {
        return R"({"Command":11,"ServerUniqueIdentifier":"game-server-uid=","Parameter":{"Name":")" + name +
               R"(","IsTalking":)" + (isTalking ? "true" : "false") + "}}";
    }

    // The talk messages that came before the answer to a new ping.
    std::vector<std::string> TalkMessagesUntil(const std::string& marker) {
        Game->Send(ServerCommand(3));
        EXPECT_TRUE(Game->WaitForText(marker));
        std::vector<std::string> talks;
        for (const auto& line : Game->Skipped()) {
            if (line.starts_with(R"(message {"Command":11,)"))
                talks.push_back(line.substr(8));
        }
        return talks;
    }

    std::unique_ptr<GameScript> Game;
};

TEST_F(TalkStates, TheUsersOwnTalkIsReportedOnlyWhenItChanges) {
    StartIngame();
    for (const int edited : {CapturedAndSent, CapturedAndSent, CapturedAndSent, 1, 0, 0}) {
        Capture(edited);
    }
    // The game's ping is answered after everything the capture sent before it.
    EXPECT_THAT(TalkMessagesUntil(ServerCommand(4)),
                ::testing::ElementsAre(TalkState("Player", true), TalkState("Player", false)));
}

TEST_F(TalkStates, OtherPlayersAreReportedOnEveryChangeAndPlacedWhenTheyStart) {
    StartIngame();
    const auto placementsBefore = Sim.CallCount("channelset3DAttributes");
    Server->SetTalking(Bob, TeamSpeak::STATUS_TALKING);
    Server->SetTalking(Bob, TeamSpeak::STATUS_TALKING);
    Server->SetTalking(Bob, TeamSpeak::STATUS_TALKING_WHILE_DISABLED);
    ASSERT_TRUE(Sim.WaitForEvents());
    EXPECT_THAT(
        TalkMessagesUntil(ServerCommand(4)),
        ::testing::ElementsAre(TalkState("Bob", true), TalkState("Bob", true), TalkState("Bob", false)));
    // Out of range, but placed again each time he starts.
    EXPECT_EQ(Sim.CallCount("channelset3DAttributes"), placementsBefore + 2);
}

TEST_F(TalkStates, AGameThatWantsNoTalkStatesGetsNone) {
    StartIngame(R"(,"SendTalkStates":false)");
    Capture(CapturedAndSent);
    Capture(0);
    Server->SetTalking(Bob, TeamSpeak::STATUS_TALKING);
    ASSERT_TRUE(Sim.WaitForEvents());
    EXPECT_TRUE(TalkMessagesUntil(ServerCommand(4)).empty());
}

TEST_F(TalkStates, TheHostNeverAttenuatesByDistance) {
    StartIngame();
    EXPECT_FLOAT_EQ(Driver->Audio().Rolloff(Server->Handler(), Bob, 40.0f, 0.25f), 1.0f);
    // Without an instance on the tab the volume stays as the host computed it.
    auto& other = Sim.AddServer("other-uid=", "Other", TeamSpeak::STATUS_CONNECTION_ESTABLISHED);
    EXPECT_FLOAT_EQ(Driver->Audio().Rolloff(other.Handler(), 1, 40.0f, 0.25f), 0.25f);
}

} // namespace
} // namespace Tralvonic::Test
