// Game commands through the whole chain: a bulk update places the players and sets the
// whisper list once, a removed player leaves the table, sounds are played and stopped, and a
// sound request that would leave the sound folders is refused.

#include "unit/game/GameOnPluginFixture.h"
#include "unit/instance/SoundFolders.h"

#include <gmock/gmock.h>

namespace Tralvonic::Test {
namespace {

class GameCommands : public GameOnPlugin {
protected:
    void StartIngame() {
        StartPlugin();
        Server->Connect();
        Game = ConnectGame();
        Game->Send(Initiate("Player", Ingame));
        ASSERT_TRUE(Game->WaitForText(InstanceStateMessage(2)));
        Server->MoveClient(Bob, Ingame);
        ASSERT_TRUE(WaitForHostLog("Client Bob joined instance channel"));
    }

    std::size_t WhisperRequests() const { return Sim.CallCount("requestClientSetWhisperList"); }

    std::unique_ptr<GameScript> Game;
};

TEST_F(GameCommands, ABulkUpdateAppliesEveryPlayerBeforeItsOneRecalculation) {
    StartIngame();
    const auto whispersBefore = WhisperRequests();
    Game->Send(ServerCommand(9, R"({"PlayerStates":[)"
                                R"({"Name":"Bob","Position":{"X":3,"Y":4,"Z":0},"VoiceRange":10},)"
                                R"({"Name":"Nobody","Position":{"X":1,"Y":0,"Z":0},"VoiceRange":10}],)"
                                R"("SelfState":{"Position":{"X":0,"Y":0,"Z":0},"VoiceRange":8}})"));
    ASSERT_TRUE(WaitForHostLog("Received Bulk Update with 2 player states"));
    ASSERT_TRUE(Sim.WaitFor([&] { return WhisperRequests() == whispersBefore + 1; }));
    // Bob was known before the single recalculation, so he is whispered to and placed.
    const auto whispers = Server->Whispers();
    ASSERT_TRUE(whispers && whispers->Clients);
    EXPECT_EQ(*whispers->Clients, std::vector<TeamSpeak::anyID>{Bob});
    const auto position = Server->PositionOf(Bob);
    ASSERT_TRUE(position);
    EXPECT_FLOAT_EQ(position->x, 3.0f);
    EXPECT_FLOAT_EQ(position->y, 4.0f);
    EXPECT_TRUE(HostLogHas("Could not find a TeamSpeak client for Nobody"));

    // Bob leaves the table: the next self state whispers to nobody.
    Game->Send(ServerCommand(10, R"({"Name":"Bob"})"));
    Game->Send(ServerCommand(7, R"({"Position":{"X":0,"Y":0,"Z":0},"VoiceRange":8})"));
    ASSERT_TRUE(Sim.WaitFor([&] { return WhisperRequests() == whispersBefore + 2; }));
    EXPECT_TRUE(Server->Whispers()->Clients->empty());
}

TEST_F(GameCommands, SoundsArePlayedStoppedAndKeptInsideTheirFolders) {
    const auto wave = Folder / "Tralvonic" / "override" / "radio" / "click.wav";
    std::filesystem::create_directories(wave.parent_path());
    SoundFolders::WriteWave(wave);
    StartIngame();

    Game->Send(ServerCommand(18, R"({"Filename":"radio/click","IsLoop":true})"));
    // Logged once the sound is listed, and so can be stopped.
    ASSERT_TRUE(WaitForHostLog("Playing sound radio/click (override) with WaveHandle "));
    ASSERT_EQ(Server->Playbacks().size(), 1u);
    EXPECT_EQ(std::filesystem::path(Server->Playbacks()[0].Path), wave);
    EXPECT_TRUE(Server->Playbacks()[0].Loop);

    Game->Send(ServerCommand(19, R"({"Filename":"radio/click"})"));
    EXPECT_TRUE(Sim.WaitFor([&] { return Server->Playbacks()[0].Closed; }));

    Game->Send(ServerCommand(18, R"({"Filename":"../override/radio/click"})"));
    EXPECT_TRUE(WaitForHostLog("Refused to play sound '../override/radio/click'"));
    EXPECT_EQ(Server->Playbacks().size(), 1u);
}

} // namespace
} // namespace Tralvonic::Test
