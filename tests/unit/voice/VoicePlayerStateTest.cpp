// The library's memory per player: settings and filter memory kept apart by name, kept from
// block to block, dropped by RemovePlayer, and safe under calls from many threads at once.

#include "VoiceLibrary.h"
#include "support/StartingGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace Tralvonic::VoiceTesting {
namespace {

using VoicePlayerStateTest = VoiceLibraryFixture;

TEST_F(VoicePlayerStateTest, SettingsBelongToTheirName) {
    const Samples tone = Tone(6000.0, 10000.0);
    Voice.SetMuffleIntensity("Anna", 0);
    Voice.SetMuffleIntensity("Bert", 10);
    Voice.SetPhoneDistortion("Bert", 0.0f); // no signal
    Voice.SetRadioDistortion("Bert", 18.0f);

    EXPECT_EQ(ProcessInBlocks(Voice.ProcessMuffle, "Anna", tone), tone);
    EXPECT_LT(Decibels(Rms(ProcessInBlocks(Voice.ProcessMuffle, "Bert", tone)), Rms(tone)), -40.0);

    // Bert's distortion leaves Anna's line clean.
    const Samples silence(ToneFrames, 0);
    EXPECT_EQ(ProcessInBlocks(Voice.ProcessPhone, "Anna", silence), silence);
    EXPECT_EQ(ProcessInBlocks(Voice.ProcessRadio, "Anna", silence), silence);
    EXPECT_GT(Rms(ProcessInBlocks(Voice.ProcessPhone, "Bert", silence)), 30.0);
    EXPECT_GT(Rms(ProcessInBlocks(Voice.ProcessRadio, "Bert", silence)), 30.0);
}

TEST_F(VoicePlayerStateTest, FilterMemoryIsKeptPerNameFromBlockToBlock) {
    // Blocks of one voice alternate with silent blocks of another; the voice must come out as
    // if processed in one piece, and the silent player must hear none of it.
    const Samples tone = Tone(1500.0, 9000.0);
    const ProcessFunction effects[]{Voice.ProcessMuffle, Voice.ProcessPhone, Voice.ProcessRadio,
                                    Voice.ProcessMegaphone};
    for (std::size_t e = 0; e < std::size(effects); ++e) {
        const std::string blocks = "blocks " + std::to_string(e);
        const std::string between = "between " + std::to_string(e);
        const std::string onePiece = "whole " + std::to_string(e);
        Voice.SetMuffleIntensity(blocks.c_str(), 7);
        Voice.SetMuffleIntensity(onePiece.c_str(), 7);
        Samples reference = tone;
        effects[e](onePiece.c_str(), reference.data(), ToneFrames, 1, 1.0f);
        ASSERT_NE(reference, tone) << "effect " << e;

        Samples output = tone;
        for (std::int32_t start = 0; start < ToneFrames; start += BlockFrames) {
            effects[e](blocks.c_str(), output.data() + start, BlockFrames, 1, 1.0f);
            Samples silent(BlockFrames, 0);
            effects[e](between.c_str(), silent.data(), BlockFrames, 1, 1.0f);
            ASSERT_EQ(silent, Samples(BlockFrames, 0)) << "effect " << e << " block " << start;
        }
        EXPECT_EQ(output, reference) << "effect " << e;
    }
}

TEST_F(VoicePlayerStateTest, RemovePlayerReturnsTheNameToTheDefaults) {
    const Samples tone = Tone(6000.0, 10000.0);
    const Samples silence(ToneFrames, 0);
    Voice.SetMuffleIntensity("Cleo", 0);
    Voice.SetPhoneDistortion("Cleo", 0.0f);
    Voice.SetRadioDistortion("Cleo", 18.0f);
    ASSERT_EQ(ProcessInBlocks(Voice.ProcessMuffle, "Cleo", tone), tone);
    ASSERT_GT(Rms(ProcessInBlocks(Voice.ProcessPhone, "Cleo", silence)), 30.0);

    Voice.RemovePlayer("Cleo");
    EXPECT_LT(Decibels(Rms(ProcessInBlocks(Voice.ProcessMuffle, "Cleo", tone)), Rms(tone)), -40.0);
    EXPECT_EQ(ProcessInBlocks(Voice.ProcessPhone, "Cleo", silence), silence);
    EXPECT_EQ(ProcessInBlocks(Voice.ProcessRadio, "Cleo", silence), silence);

    // Removing an unknown name, or one twice, is harmless.
    Voice.RemovePlayer("Cleo");
    Voice.RemovePlayer("nobody");
}

TEST_F(VoicePlayerStateTest, SettersRemovalAndProcessingRaceSafelyOnOneName) {
    // Run under ThreadSanitizer to see races; here the checks are that a silenced block stays
    // silent throughout and that the player's state is sound once the threads are done.
    constexpr int Rounds = 200;
    constexpr const char* Name = "Shared";
    Testing::StartingGate start(4);
    std::atomic<int> loudSilentBlocks{0};

    auto process = [&](std::int32_t channels) {
        start.ArriveAndWait();
        const Samples tone = Tone(1000.0, 12000.0, channels, BlockFrames);
        for (int i = 0; i < Rounds; ++i) {
            for (const ProcessFunction effect :
                 {Voice.ProcessMuffle, Voice.ProcessPhone, Voice.ProcessRadio, Voice.ProcessMegaphone}) {
                Samples block = tone;
                effect(Name, block.data(), BlockFrames, channels, 1.0f);
                Samples muted = tone;
                effect(Name, muted.data(), BlockFrames, channels, 0.0f);
                if (muted.back() != 0) {
                    ++loudSilentBlocks;
                }
            }
        }
    };
    std::vector<std::thread> threads;
    threads.emplace_back(process, 1);
    threads.emplace_back(process, 2);
    threads.emplace_back([&] {
        start.ArriveAndWait();
        for (int i = 0; i < Rounds * 4; ++i) {
            Voice.SetMuffleIntensity(Name, i % 11);
            Voice.SetPhoneDistortion(Name, static_cast<float>(i % 21));
            Voice.SetRadioDistortion(Name, static_cast<float>(i % 19));
        }
    });
    threads.emplace_back([&] {
        start.ArriveAndWait();
        for (int i = 0; i < Rounds; ++i) {
            Voice.RemovePlayer(Name);
        }
    });
    for (std::thread& thread : threads) {
        thread.join();
    }

    EXPECT_EQ(loudSilentBlocks.load(), 0);
    Voice.RemovePlayer(Name);
    Voice.SetMuffleIntensity(Name, 0);
    const Samples tone = Tone(1000.0, 12000.0);
    EXPECT_EQ(ProcessInBlocks(Voice.ProcessMuffle, Name, tone), tone);
    EXPECT_NEAR(Decibels(Rms(ProcessInBlocks(Voice.ProcessPhone, Name, tone)), Rms(tone)), 0.0, 1.5);
}

} // namespace
} // namespace Tralvonic::VoiceTesting
