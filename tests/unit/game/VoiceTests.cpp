// What the user hears and sends once the plugin edits voice samples, measured on the
// simulated client's whole audio chain with real signals: a tone goes in as a client's
// voice or the microphone, levels and the tone's share of the spectrum come out.

#include "unit/game/GameOnPluginFixture.h"
#include "unit/game/SignalMeasures.h"

#include "TeamSpeak/sdk/HostEnums.h"
#include "VoiceSource.h"

#include <gmock/gmock.h>

#include <cmath>
#include <numbers>

namespace Tralvonic::Test {
namespace {

constexpr double ToneHz = 1000;
constexpr short ToneAmplitude = 8000;
constexpr int Sending = 2;
constexpr int SendingAndEdited = 3;

class Voice : public GameOnPlugin {
protected:
    void StartIngame(const std::string& extra = "") {
        StartPlugin();
        Server->Connect();
        Game = ConnectGame();
        Game->Send(Initiate("Player", Ingame, extra));
        ASSERT_TRUE(Game->WaitForText(InstanceStateMessage(2)));
        Server->MoveClient(Bob, Ingame);
        ASSERT_TRUE(Sim.WaitForEvents());
        Driver->Audio().SetVoice(Server->Handler(), Bob, Sim::VoiceSource::Tone(ToneHz, ToneAmplitude));
        Server->SetTalking(Bob, TeamSpeak::STATUS_TALKING);
        ASSERT_TRUE(Sim.WaitForEvents());
    }

    // Bob and the user as the game places them; returns once the plugin has handled it.
    void Place(const std::string& bob, const std::string& self = R"({"VoiceRange":8})") {
        Game->Send(ServerCommand(9, R"({"PlayerStates":[)" + bob + R"(],"SelfState":)" + self + "}"));
        Sync();
    }

    // Messages of one game are handled in order: once a ping is answered, everything sent
    // before it has been.
    void Sync() {
        Game->Send(ServerCommand(3));
        ASSERT_TRUE(Game->WaitForText(ServerCommand(4)));
    }

    static std::string BobAt(float y, float voiceRange, const std::string& extra = "") {
        return R"({"Name":"Bob","Position":{"X":0,"Y":)" + std::to_string(y) + R"(,"Z":0},"VoiceRange":)" +
               std::to_string(voiceRange) + extra + "}";
    }

    // What the user hears of a few rounds, past the tone's first block.
    std::vector<short> Hear(int rounds = 3) {
        std::vector<short> heard;
        for (int i = 0; i < rounds; ++i) {
            const auto round = Driver->Audio().RenderRound(Server->Handler());
            heard.insert(heard.end(), round.Heard.begin(), round.Heard.end());
        }
        return heard;
    }

    Sim::AudioThread::Captured Capture(std::vector<short> samples, int edited) {
        return Driver->Audio().Capture(Server->Handler(), std::move(samples), edited);
    }

    static std::vector<short> Tone(int frames = 960) {
        return Sim::VoiceSource::Tone(ToneHz, ToneAmplitude)->Next(frames);
    }

    std::unique_ptr<GameScript> Game;
};

TEST_F(Voice, AtHalfHisRangeAPlayerIsSixDecibelsDownAndBeyondItSilent) {
    StartIngame();
    Place(BobAt(0, 10));
    const auto close = Hear();
    ASSERT_GT(Level(close), 1000);
    EXPECT_GT(ToneShare(close, ToneHz), 0.95);

    Place(BobAt(5, 10));
    const auto half = Hear();
    EXPECT_NEAR(Decibels(Level(half, 2, 0), Level(close, 2, 0)), -6.02, 0.1);
    EXPECT_NEAR(Decibels(Level(half, 2, 1), Level(close, 2, 1)), -6.02, 0.1);
    EXPECT_GT(ToneShare(half, ToneHz), 0.95);

    Place(BobAt(10, 10));
    EXPECT_TRUE(IsSilent(Hear()));
    Place(BobAt(12, 10));
    EXPECT_TRUE(IsSilent(Hear()));
}

TEST_F(Voice, AVolumeOverrideWinsOverTheDistanceAndCullingSilences) {
    StartIngame();
    Place(BobAt(0, 10));
    const double close = Level(Hear());
    Place(BobAt(5, 10, R"(,"VolumeOverride":1.0)"));
    EXPECT_NEAR(Decibels(Level(Hear()), close), 0.0, 0.1);
    Place(BobAt(5, 10, R"(,"VolumeOverride":0.25)"));
    EXPECT_NEAR(Decibels(Level(Hear()), close), -12.04, 0.1);
    Place(BobAt(1, 10, R"(,"DistanceCulled":true)"));
    EXPECT_TRUE(IsSilent(Hear()));
}

TEST_F(Voice, ABulkOfPlayerStatesWithoutASelfStateStillReachesWhatTheUserHears) {
    StartIngame();
    Place(BobAt(5, 10));
    const double half = Level(Hear());
    // No own state, so no recalculation: the players' new values alone must reach the audio.
    Game->Send(ServerCommand(9, R"({"PlayerStates":[)" + BobAt(5, 10, R"(,"VolumeOverride":0.25)") + "]}"));
    Sync();
    EXPECT_NEAR(Decibels(Level(Hear()), half), -6.02, 0.1);
}

TEST_F(Voice, AVoiceWithoutAPlayerIsSilencedInGameAndLeftAloneBefore) {
    const auto carl = Server->AddClient("Carl", Lobby);
    StartPlugin();
    Server->Connect();
    Game = ConnectGame();
    // Not in game yet: nobody's voice is touched.
    const auto before = Driver->Audio().Playback(Server->Handler(), carl, Tone(), 1);
    EXPECT_EQ(before, Tone());
    Game->Send(Initiate("Player", Ingame));
    ASSERT_TRUE(Game->WaitForText(InstanceStateMessage(2)));
    EXPECT_TRUE(IsSilent(Driver->Audio().Playback(Server->Handler(), carl, Tone(), 1)));
    // A dead player is silenced as well.
    Server->MoveClient(Bob, Ingame);
    ASSERT_TRUE(Sim.WaitForEvents());
    Place(BobAt(1, 10, R"(,"IsAlive":false)"));
    EXPECT_TRUE(IsSilent(Driver->Audio().Playback(Server->Handler(), Bob, Tone(), 1)));
}

TEST_F(Voice, WithAZeroFillMaskNothingIsHeardAndTheMaskStaysZero) {
    StartIngame();
    Place(BobAt(0, 10));
    std::vector<short> stereo(1920);
    for (std::size_t i = 0; i < stereo.size(); ++i) {
        stereo[i] = static_cast<short>(1000 + i);
    }
    const auto post = Driver->Audio().PostProcess(Server->Handler(), Bob, stereo, 2, 0);
    EXPECT_TRUE(IsSilent(post.Samples));
    EXPECT_EQ(post.FillMask, 0u);
    // Nothing queued: the mixed output keeps its samples and its mask.
    const auto mixed = Driver->Audio().MixedPlayback(Server->Handler(), stereo, 2, 0);
    EXPECT_EQ(mixed.Samples, stereo);
    EXPECT_EQ(mixed.FillMask, 0u);
}

TEST_F(Voice, OnlyPlainSendingOrSilenceChangesTheUsersTalkState) {
    StartIngame();
    for (const int edited : {SendingAndEdited, Sending, SendingAndEdited, 1, SendingAndEdited, 0}) {
        Capture(std::vector<short>(960), edited);
    }
    Game->Send(ServerCommand(3));
    ASSERT_TRUE(Game->WaitForText(ServerCommand(4)));
    std::vector<std::string> talks;
    for (const auto& line : Game->Skipped()) {
        if (line.starts_with(R"(message {"Command":11,)")) {
            talks.push_back(line.substr(8));
        }
    }
    EXPECT_THAT(talks, ::testing::ElementsAre(::testing::HasSubstr(R"("IsTalking":true)"),
                                              ::testing::HasSubstr(R"("IsTalking":false)")));
}

TEST_F(Voice, TheEchoTailRunsDurationPlusDelayCallbacksAfterTheLastSendingOne) {
    StartIngame();
    Place(BobAt(0, 10), R"({"VoiceRange":8,"Echo":{"Duration":3,"Rolloff":0.5,"Delay":2}})");
    const auto tone = Tone();
    for (int i = 0; i < 4; ++i) {
        const auto sent = Capture(tone, Sending);
        EXPECT_EQ(sent.Edited, SendingAndEdited);
    }
    int tail = 0;
    std::vector<short> firstTail;
    for (int i = 0; i < 10; ++i) {
        const auto silent = Capture(std::vector<short>(960), 0);
        if (silent.Edited == 0) {
            EXPECT_TRUE(IsSilent(silent.Samples));
            break;
        }
        EXPECT_EQ(silent.Edited, SendingAndEdited);
        if (tail == 0) {
            firstTail = silent.Samples;
        }
        ++tail;
    }
    EXPECT_EQ(tail, 3 + 2);
    // The user's own tone comes back, delayed, in place of the silent microphone.
    EXPECT_GT(Level(firstTail, 1), 1000);
    EXPECT_GT(ToneShare(firstTail, ToneHz, 1), 0.9);
    // And he hears it himself, after the monitor's own delay.
    std::vector<short> heard;
    for (int i = 0; i < 3; ++i) {
        const auto mixed = Driver->Audio().MixedPlayback(Server->Handler(), std::vector<short>(1920), 2, 0);
        EXPECT_EQ(mixed.FillMask, 3u);
        heard.insert(heard.end(), mixed.Samples.begin(), mixed.Samples.end());
    }
    EXPECT_GT(Level(heard), 1000);
    EXPECT_GT(ToneShare(heard, ToneHz), 0.5);
}

TEST_F(Voice, AOneChannelOutputHearsTheEchoMonitorsEqualPairOnceAndGetsItsSpeakerAsMask) {
    StartIngame();
    Place(BobAt(0, 10), R"({"VoiceRange":8,"Echo":{"Duration":0,"Rolloff":0.5,"Delay":1}})");
    // A mono microphone's echo reaches the monitor as equal pairs, 1.8 times as loud.
    Capture(std::vector<short>(960, 500), Sending);
    const auto mixed = Driver->Audio().MixedPlayback(Server->Handler(), std::vector<short>(960), 1, 0);
    // Half a block of the monitor's delay, then the pairs: 900 each, not 1800.
    EXPECT_TRUE(
        std::all_of(mixed.Samples.begin(), mixed.Samples.begin() + 480, [](short s) { return s == 0; }));
    EXPECT_TRUE(
        std::all_of(mixed.Samples.begin() + 480, mixed.Samples.end(), [](short s) { return s == 900; }));
    EXPECT_EQ(mixed.FillMask, static_cast<unsigned int>(TeamSpeak::SPEAKER_MONO));
}

TEST_F(Voice, AnEchoThatWouldSizeBuffersOutOfBoundsIsRefusedAndTheOldOneKept) {
    StartIngame();
    Place(BobAt(0, 10), R"({"VoiceRange":8,"Echo":{"Duration":0,"Rolloff":0.5,"Delay":40}})");
    for (const auto& [echo, message] : std::vector<std::pair<std::string, std::string>>{
             {R"("Duration":1,"Delay":0)", "SelfState.Echo.Delay has to be >= 1 and <= 40"},
             {R"("Duration":1,"Delay":41)", "SelfState.Echo.Delay has to be >= 1 and <= 40"},
             {R"("Duration":-1,"Delay":1)", "SelfState.Echo.Duration has to be >= 0 and <= 500"},
             {R"("Duration":501,"Delay":1)", "SelfState.Echo.Duration has to be >= 0 and <= 500"}}) {
        Game->Send(ServerCommand(7, R"({"VoiceRange":8,"Echo":{"Rolloff":0.5,)" + echo + "}}"));
        EXPECT_TRUE(Game->WaitForText(R"({"Error":6,"Message":")" + message + R"(","ServerIdentifier":")" +
                                      std::string(ServerUid) + R"("})"))
            << message;
    }
    // Still the echo of 40 blocks: the tail comes back after 40 callbacks and not before.
    Capture(Tone(), Sending);
    int delayed = 0;
    while (delayed < 60 && IsSilent(Capture(std::vector<short>(960), 0).Samples)) {
        ++delayed;
    }
    EXPECT_EQ(delayed, 39);
}

TEST_F(Voice, GameUpdatesWhileTheAudioRunsNeitherRaceNorStallIt) {
    StartIngame();
    Driver->Audio().SetVoice(Server->Handler(), Server->OwnClient(), Sim::VoiceSource::Tone(500, 6000));
    Server->SetTalking(Server->OwnClient(), TeamSpeak::STATUS_TALKING);
    ASSERT_TRUE(Sim.WaitForEvents());
    Driver->Audio().Start();
    const auto roundsBefore = Driver->Audio().Rounds();
    const std::vector<std::string> updates{
        BobAt(2, 10, R"(,"Muffle":{"Intensity":7})"),
        BobAt(5, 10, R"(,"VolumeOverride":1.5)"),
        BobAt(20, 10),
        BobAt(1, 10, R"(,"IsAlive":false)"),
    };
    const std::vector<std::string> selves{
        R"({"VoiceRange":8,"Echo":{"Duration":5,"Rolloff":0.4,"Delay":3}})",
        R"({"VoiceRange":8})",
        R"({"VoiceRange":8,"Echo":{"Duration":500,"Rolloff":0.9,"Delay":40}})",
    };
    for (int i = 0; i < 120; ++i) {
        Game->Send(ServerCommand(
            9, R"({"PlayerStates":[)" + updates[static_cast<std::size_t>(i) % updates.size()] +
                   R"(],"SelfState":)" + selves[static_cast<std::size_t>(i) % selves.size()] + "}"));
        if (i % 10 == 9) {
            Game->Send(ServerCommand(10, R"({"Name":"Bob"})"));
            Sync();
        }
    }
    Place(BobAt(0, 10));
    // The audio kept its pace meanwhile: some rounds went by while the updates were handled.
    EXPECT_TRUE(Sim.WaitFor([&] { return Driver->Audio().Rounds() > roundsBefore + 5; }));
    Driver->Audio().Stop();
    EXPECT_GT(Level(Hear()), 1000);
    for (const auto& entry : Sim.LogEntries()) {
        EXPECT_EQ(entry.Message.find("Exception"), std::string::npos) << entry.Message;
    }
}

} // namespace
} // namespace Tralvonic::Test
