// Radio, phone and megaphone through the whole chain: a game script sends the commands to the
// built plugin in the simulated client, and the test reads what the game is sent back and
// what the host was asked to do (whisper lists, positions, voice activation, clicks played).

#include "unit/game/GameOnPluginFixture.h"

#include <filesystem>
#include <fstream>

namespace Tralvonic::Test {
namespace {

class RadioPhoneGame : public GameOnPlugin {
protected:
    // The plugin with the default click sounds and `micClickMode`, an instance in game as
    // "Player" that reports radio traffic, and Bob in the instance channel.
    void StartIngame(const std::string& micClickMode = "ScriptDependent") {
        std::filesystem::copy(TRALVONIC_DEFAULT_SOUNDS_DIRECTORY, Folder / "Tralvonic" / "default");
        std::ofstream(Folder / "Tralvonic" / "settings.json")
            << R"({"WebSocketAddress":"127.0.0.1:)" << Port
            << R"(","InstanceTimeout":60,"ExpertMode":true,"LogLevel":"Extensive","MicClickMode":")"
            << micClickMode << R"("})";
        Driver = Sim::PluginDriver::Load(Sim, LibraryPath().string());
        ASSERT_EQ(Driver->Start(), 0);
        Server->Connect();
        Game = ConnectGame();
        Game->Send(Initiate("Player", Ingame, R"(,"SendRadioTrafficStates":true)"));
        ASSERT_TRUE(Game->WaitForText(InstanceStateMessage(2)));
        Server->MoveClient(Bob, Ingame);
        ASSERT_TRUE(WaitForHostLog("Client Bob joined instance channel"));
        Carol = Server->ClientJoins("Carol", Ingame);
        ASSERT_TRUE(WaitForHostLog("Client Carol joined instance channel"));
    }

    // Bob 3 units away, Carol 500; the user's voice carries 5.
    void Place(const std::string& self = R"({"Position":{"X":0,"Y":0,"Z":0},"VoiceRange":5})") {
        Game->Send(ServerCommand(9, R"({"PlayerStates":[)"
                                    R"({"Name":"Bob","Position":{"X":3,"Y":0,"Z":0},"VoiceRange":10},)"
                                    R"({"Name":"Carol","Position":{"X":0,"Y":500,"Z":0},"VoiceRange":10}],)"
                                    R"("SelfState":)" +
                                        self + "}"));
    }

    bool WaitForWhisper(const std::vector<TeamSpeak::anyID>& clients) {
        return Sim.WaitFor([&] {
            const auto whispers = Server->Whispers();
            return whispers && whispers->Clients && *whispers->Clients == clients;
        });
    }

    std::vector<std::string> PlayedClicks() const {
        std::vector<std::string> names;
        for (const auto& playback : Server->Playbacks()) {
            names.push_back(std::filesystem::path(playback.Path).stem().string());
        }
        return names;
    }

    static std::string Traffic(const std::string& name, bool isSending, bool isPrimary) {
        return R"({"Command":33,"ServerUniqueIdentifier":")" + std::string(ServerUid) +
               R"(","Parameter":{"Name":")" + name + R"(","IsSending":)" + (isSending ? "true" : "false") +
               R"(,"IsPrimaryChannel":)" + (isPrimary ? "true" : "false") + "}}";
    }

    static std::string InvalidValue(const std::string& message) {
        return R"({"Error":6,"Message":")" + message + R"(","ServerIdentifier":")" + std::string(ServerUid) +
               R"("})";
    }

    std::unique_ptr<GameScript> Game;
    TeamSpeak::anyID Carol = 0;
};

TEST_F(RadioPhoneGame, ADirectPhonePartnerInVoiceRangeIsWhisperedToTwice) {
    StartIngame();
    Place();
    ASSERT_TRUE(WaitForWhisper({Bob}));

    Game->Send(ServerCommand(20, R"({"Name":"Carol","SignalStrength":25,"Direct":true})"));
    EXPECT_TRUE(Game->WaitForText(InvalidValue("PhoneCommunication.SignalStrength has to be <= 20")));
    EXPECT_TRUE(WaitForWhisper({Carol, Bob}));
    Game->Send(ServerCommand(20, R"({"Name":"Bob","SignalStrength":10,"Direct":true,"Volume":3})"));
    EXPECT_TRUE(Game->WaitForText(InvalidValue("PhoneCommunication.Volume has to be >= 0f and <= 1.6f")));
    EXPECT_TRUE(WaitForWhisper({Carol, Bob, Bob}));

    Game->Send(ServerCommand(21, R"({"Name":"Carol"})"));
    EXPECT_TRUE(WaitForWhisper({Bob, Bob}));
}

TEST_F(RadioPhoneGame, TheUsersTransmissionsReachTheirChannelsAndSwitchVoiceActivationOff) {
    Server->SetPreProcessorValue("vad", "true");
    StartIngame();
    Place();
    ASSERT_TRUE(WaitForWhisper({Bob}));
    Game->Send(ServerCommand(38, R"({"PlayerNames":["Carol"],"IsPrimaryChannel":true})"));
    Game->Send(ServerCommand(37, R"({"PlayerName":"Bob","IsPrimaryChannel":false})"));

    Game->Send(
        ServerCommand(30, R"({"Name":"Player","SenderRadioType":4,"OwnRadioType":4,"PlayMicClick":true})"));
    EXPECT_TRUE(Game->WaitForText(Traffic("Player", true, true)));
    EXPECT_TRUE(WaitForWhisper({Carol, Bob}));
    EXPECT_TRUE(Sim.WaitFor([&] { return Server->PreProcessorValue("vad") == "false"; }));

    Game->Send(
        ServerCommand(30, R"({"Name":"Player","SenderRadioType":4,"OwnRadioType":4,"Secondary":true})"));
    EXPECT_TRUE(Game->WaitForText(Traffic("Player", true, false)));
    EXPECT_TRUE(WaitForWhisper({Bob, Bob}));

    Game->Send(ServerCommand(31, R"({"Name":"Player","Secondary":true,"PlayMicClick":true})"));
    EXPECT_TRUE(Game->WaitForText(Traffic("Player", false, false)));
    EXPECT_TRUE(WaitForWhisper({Bob}));
    EXPECT_TRUE(Sim.WaitFor([&] { return Server->PreProcessorValue("vad") == "true"; }));
    ASSERT_TRUE(Sim.WaitFor([&] { return PlayedClicks().size() == 2; }));
    EXPECT_EQ(PlayedClicks(), (std::vector<std::string>{"selfOnMicClick", "selfOffMicClick"}));
}

TEST_F(RadioPhoneGame, AnotherPlayersTransmissionIsReportedAndClicksOnItsChannel) {
    StartIngame("Always");
    Place();
    ASSERT_TRUE(WaitForWhisper({Bob}));
    Game->Send(ServerCommand(30, R"({"Name":"Carol","SenderRadioType":2,"OwnRadioType":2,"Direct":true,)"
                                 R"("Secondary":true,"Volume":-1})"));
    EXPECT_TRUE(Game->WaitForText(InvalidValue("RadioCommunication.Volume has to be >= 0f")));
    EXPECT_TRUE(Game->WaitForText(Traffic("Carol", true, false)));

    Game->Send(ServerCommand(31, R"({"Name":"Carol","Direct":true,"Secondary":true})"));
    EXPECT_TRUE(Game->WaitForText(Traffic("Carol", false, false)));
    ASSERT_TRUE(Sim.WaitFor([&] { return PlayedClicks().size() == 2; }));
    EXPECT_EQ(PlayedClicks(), (std::vector<std::string>{"onSecMicClick", "offSecMicClick"}));
}

TEST_F(RadioPhoneGame, AMegaphonePlacesAPlayerBeyondHisVoiceRangeAndAWrongVolumeIsRefused) {
    StartIngame();
    Place();
    ASSERT_TRUE(WaitForWhisper({Bob}));
    const auto beyondRange = Server->PositionOf(Carol);

    Game->Send(ServerCommand(40, R"({"Name":"Carol","Range":600,"Volume":1.7})"));
    EXPECT_TRUE(Game->WaitForText(InvalidValue("MegaphoneCommunication.Volume has to be >= 0f and <= 1.6f")));
    Game->Send(ServerCommand(40, R"({"Name":"Carol","Range":600})"));
    // 500 away with a voice range of 10: 500 units from the listener.
    ASSERT_TRUE(Sim.WaitFor([&] {
        const auto position = Server->PositionOf(Carol);
        return position && position->x == 0.0f && position->y == 500.0f;
    }));
    // Beyond his voice range and without the megaphone he was left where joining put him.
    EXPECT_FALSE(beyondRange && beyondRange->y == 500.0f);
}

} // namespace
} // namespace Tralvonic::Test
