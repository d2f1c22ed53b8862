// Phone, radio and megaphone as the user hears and sends them, through the simulated
// client's whole audio chain. The test fixture's effect library applies each effect's volume
// and nothing else, so the levels show which effect ran and where its audio went.

#include "unit/game/GameOnPluginFixture.h"
#include "unit/game/SignalMeasures.h"

#include "TeamSpeak/sdk/HostEnums.h"
#include "VoiceSource.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tralvonic::Test {
namespace {

constexpr double ToneHz = 1000;
constexpr short ToneAmplitude = 8000;
// Phone and radio audio starts 25 blocks' worth of samples behind the voice: 25 blocks for
// the mono relay into the microphone, half as many for the stereo pairs to the mix.
constexpr int EffectDelayRounds = 25;
constexpr int MixDelayBlocks = 13;

class VoiceCommunication : public GameOnPlugin {
protected:
    void StartIngame() {
        StartPlugin();
        Server->Connect();
        Game = ConnectGame();
        Game->Send(Initiate("Player", Ingame));
        ASSERT_TRUE(Game->WaitForText(InstanceStateMessage(2)));
        Server->MoveClient(Bob, Ingame);
        ASSERT_TRUE(Sim.WaitForEvents());
        Driver->Audio().SetVoice(Server->Handler(), Bob, Sim::VoiceSource::Tone(ToneHz, ToneAmplitude));
        Server->SetTalking(Bob, TeamSpeak::STATUS_TALKING);
        ASSERT_TRUE(Sim.WaitForEvents());
        // Bob far away, beyond his voice range: only a phone or a radio brings him here.
        Send(9, R"({"PlayerStates":[{"Name":"Bob","Position":{"X":0,"Y":500,"Z":0},"VoiceRange":10}],)"
                R"("SelfState":{"VoiceRange":8}})");
    }

    // Sends one command and returns once the plugin has handled it.
    void Send(int command, const std::string& parameter) {
        Game->Send(ServerCommand(command, parameter));
        Game->Send(ServerCommand(3));
        ASSERT_TRUE(Game->WaitForText(ServerCommand(4)));
    }

    // The rounds after the effect's delay: what the user hears and what he sends.
    std::vector<Sim::AudioThread::Round> RoundsPastTheDelay(int rounds = 3) {
        for (int i = 0; i < EffectDelayRounds + 1; ++i) {
            Driver->Audio().RenderRound(Server->Handler());
        }
        std::vector<Sim::AudioThread::Round> result;
        for (int i = 0; i < rounds; ++i) {
            result.push_back(Driver->Audio().RenderRound(Server->Handler()));
        }
        return result;
    }

    static std::vector<short> Heard(const std::vector<Sim::AudioThread::Round>& rounds) {
        std::vector<short> heard;
        for (const auto& round : rounds) {
            heard.insert(heard.end(), round.Heard.begin(), round.Heard.end());
        }
        return heard;
    }

    std::unique_ptr<GameScript> Game;
};

TEST_F(VoiceCommunication, ARadioPartnerIsHeardThroughTheRadioOnTheSideTheSettingsChoose) {
    StartIngame();
    Send(30, R"({"Name":"Bob","SenderRadioType":4,"OwnRadioType":4,"Direct":true,"Volume":0.5})");
    const auto heard = Heard(RoundsPastTheDelay());
    // The primary radio is on the left by default; the direct voice stays silent.
    EXPECT_NEAR(Level(heard, 2, 0), 0.5 * ToneAmplitude / std::sqrt(2.0), 20);
    EXPECT_GT(ToneShare(heard, ToneHz, 2), 0.95);
    EXPECT_EQ(Level(heard, 2, 1), 0);
}

TEST_F(VoiceCommunication, ASecondaryRadioAndAPhoneCallGoToTheirOwnSides) {
    StartIngame();
    Send(30, R"({"Name":"Bob","SenderRadioType":4,"OwnRadioType":4,"Direct":true,"Secondary":true})");
    auto heard = Heard(RoundsPastTheDelay());
    EXPECT_EQ(Level(heard, 2, 0), 0);
    EXPECT_NEAR(Level(heard, 2, 1), ToneAmplitude / std::sqrt(2.0), 20);

    Send(31, R"({"Name":"Bob"})");
    Send(20, R"({"Name":"Bob","SignalStrength":20,"Direct":true,"Volume":0.25})");
    heard = Heard(RoundsPastTheDelay());
    EXPECT_EQ(Level(heard, 2, 0), 0);
    EXPECT_NEAR(Level(heard, 2, 1), 0.25 * ToneAmplitude / std::sqrt(2.0), 20);
}

TEST_F(VoiceCommunication, APhoneCallTheUserRelaysReachesHisMicrophone) {
    StartIngame();
    Send(20, R"({"Name":"Bob","SignalStrength":20,"Direct":true,"Volume":0.5,"RelayedBy":["Player"]})");
    const auto rounds = RoundsPastTheDelay();
    std::vector<short> sent;
    for (const auto& round : rounds) {
        // The user says nothing, yet the call goes out.
        EXPECT_EQ(round.SentWord, 3);
        sent.insert(sent.end(), round.Sent.begin(), round.Sent.end());
    }
    EXPECT_NEAR(Level(sent, 1, 0), 0.5 * ToneAmplitude / std::sqrt(2.0), 20);
    EXPECT_GT(ToneShare(sent, ToneHz, 1), 0.95);
}

TEST_F(VoiceCommunication, ARelayTheMicrophoneCannotTakeIsEmptiedAndPhoneAndRadioSumInOneChannel) {
    StartIngame();
    Send(20, R"({"Name":"Bob","SignalStrength":20,"Direct":true,"RelayedBy":["Player"]})");
    Send(30, R"({"Name":"Bob","SenderRadioType":4,"OwnRadioType":4,"Direct":true,"Volume":0.6})");
    const auto voice = Sim::VoiceSource::Samples(std::vector<short>(960, 500));
    for (int i = 0; i < EffectDelayRounds + 1; ++i) {
        Driver->Audio().Playback(Server->Handler(), Bob, voice->Next(960), 1);
    }
    // Three microphone channels fit no relayed layout: the queue is dropped, nothing mixed.
    const auto wide = Driver->Audio().Capture(Server->Handler(), std::vector<short>(960 * 3), 0, 3);
    EXPECT_EQ(wide.Edited, 0);
    EXPECT_EQ(Driver->Audio().Capture(Server->Handler(), std::vector<short>(960), 0).Edited, 0);

    // A mono output: the phone's right-side 500 and the radio's left-side 300 add to 800.
    for (int i = 0; i < MixDelayBlocks; ++i) {
        Driver->Audio().MixedPlayback(Server->Handler(), std::vector<short>(960), 1, 0);
    }
    const auto mixed = Driver->Audio().MixedPlayback(Server->Handler(), std::vector<short>(960), 1, 0);
    EXPECT_TRUE(std::all_of(mixed.Samples.begin(), mixed.Samples.end(), [](short s) { return s == 800; }))
        << mixed.Samples.front();
}

TEST_F(VoiceCommunication, AMegaphoneCarriesAPlayerBeyondHisVoiceRange) {
    StartIngame();
    Send(40, R"({"Name":"Bob","Range":1000,"Volume":0.5})");
    const auto post =
        Driver->Audio().PostProcess(Server->Handler(), Bob, std::vector<short>(1920, 1000), 2, 3);
    // Out of his voice range, the direct voice is gone; the megaphone adds its own half.
    EXPECT_TRUE(std::all_of(post.Samples.begin(), post.Samples.end(), [](short s) { return s == 500; }));
    const auto mixed = Driver->Audio().MixedPlayback(Server->Handler(), std::vector<short>(1920), 2, 0);
    EXPECT_EQ(mixed.FillMask, 3u);
}

} // namespace
} // namespace Tralvonic::Test
