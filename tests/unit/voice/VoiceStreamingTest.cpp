// The library as a stream: a voice comes out the same however the host cuts it into blocks,
// changed settings glide instead of jumping, and the caller's floating-point mode survives.

#include "VoiceLibrary.h"

#include <gtest/gtest.h>

#include <xmmintrin.h>

#include <functional>
#include <string>
#include <vector>

namespace Tralvonic::VoiceTesting {
namespace {

using VoiceStreamingTest = VoiceLibraryFixture;

constexpr std::int32_t Channels = 2;
constexpr std::int32_t StreamFrames = 9600;
constexpr std::int32_t ChangeFrame = 4800;

// A stereo voice-like signal: two tones and a sweep, different in the two channels.
Samples StereoVoice() {
    Samples samples(static_cast<std::size_t>(StreamFrames * Channels));
    for (std::int32_t f = 0; f < StreamFrames; ++f) {
        const double t = static_cast<double>(f) / SampleRate;
        const double sweep = std::sin(2.0 * std::numbers::pi * (200.0 + 1500.0 * t) * t);
        const double left = 9000.0 * std::sin(2.0 * std::numbers::pi * 310.0 * t) + 6000.0 * sweep;
        const double right = 12000.0 * std::sin(2.0 * std::numbers::pi * 1170.0 * t) - 5000.0 * sweep;
        samples[static_cast<std::size_t>(f * Channels)] = static_cast<std::int16_t>(std::lround(left));
        samples[static_cast<std::size_t>(f * Channels + 1)] = static_cast<std::int16_t>(std::lround(right));
    }
    return samples;
}

struct Stream {
    std::string Effect;
    ProcessFunction Process;
    // Sets the effect's parameter for a player: `late` picks the value after the change.
    std::function<void(const char*, bool late)> Set;
};

// The voice through a player, cut into blocks of the given sizes (repeated), with the
// setting and the volume changed at ChangeFrame.
Samples RunCut(const Stream& stream, const std::string& name, const std::vector<std::int32_t>& sizes) {
    Samples samples = StereoVoice();
    stream.Set(name.c_str(), false);
    std::size_t next = 0;
    for (std::int32_t start = 0; start < StreamFrames;) {
        const bool late = start >= ChangeFrame;
        if (start == ChangeFrame) {
            stream.Set(name.c_str(), true);
        }
        const std::int32_t end = late ? StreamFrames : ChangeFrame;
        const std::int32_t frames = std::min(sizes[next++ % sizes.size()], end - start);
        stream.Process(name.c_str(), samples.data() + start * Channels, frames, Channels, late ? 0.6f : 0.9f);
        start += frames;
    }
    return samples;
}

TEST_F(VoiceStreamingTest, EveryEffectGivesTheSameVoiceHoweverTheBlocksAreCut) {
    const Stream streams[]{
        {"muffle", Voice.ProcessMuffle,
         [&](const char* name, bool late) {
             Voice.SetMuffleIntensity(name, late ? 9 : 4);
         }},
        {"phone", Voice.ProcessPhone,
         [&](const char* name, bool late) {
             Voice.SetPhoneDistortion(name, late ? 3.0f : 12.0f);
         }},
        {"radio", Voice.ProcessRadio,
         [&](const char* name, bool late) {
             Voice.SetRadioDistortion(name, late ? 18.0f : 6.0f);
         }},
        {"megaphone", Voice.ProcessMegaphone,
         [](const char*, bool) {
         }},
    };
    for (const Stream& stream : streams) {
        const Samples hostBlocks = RunCut(stream, stream.Effect + " host", {BlockFrames});
        const Samples whole = RunCut(stream, stream.Effect + " whole", {StreamFrames});
        const Samples ragged =
            RunCut(stream, stream.Effect + " ragged", {1, 7, 255, 256, 257, 31, 33, 1000, 3, 960});
        ASSERT_NE(hostBlocks, StereoVoice()) << stream.Effect;
        EXPECT_EQ(whole, hostBlocks) << stream.Effect;
        EXPECT_EQ(ragged, hostBlocks) << stream.Effect;
    }
}

// Level of one stretch of frames of a mono signal.
double StretchRms(const Samples& samples, std::int32_t from, std::int32_t frames) {
    double sum = 0.0;
    for (std::int32_t i = from; i < from + frames; ++i) {
        sum +=
            static_cast<double>(samples[static_cast<std::size_t>(i)]) * samples[static_cast<std::size_t>(i)];
    }
    return std::sqrt(sum / frames);
}

TEST_F(VoiceStreamingTest, ANewMuffleIntensityGlidesInOverOneBlock) {
    const Samples tone = Tone(5000.0, 10000.0, 1, 3 * BlockFrames);
    Samples output = tone;
    Voice.SetMuffleIntensity("door", 0);
    Voice.ProcessMuffle("door", output.data(), BlockFrames, 1, 1.0f);
    Voice.ProcessMuffle("door", output.data() + BlockFrames, BlockFrames, 1, 1.0f);
    ASSERT_TRUE(std::equal(tone.begin(), tone.begin() + 2 * BlockFrames, output.begin()));

    // The door closes: the tone fades over the block instead of vanishing at its start.
    Voice.SetMuffleIntensity("door", 10);
    Voice.ProcessMuffle("door", output.data() + 2 * BlockFrames, BlockFrames, 1, 1.0f);
    const double toneLevel = StretchRms(tone, 0, BlockFrames);
    const double start = StretchRms(output, 2 * BlockFrames, 64);
    const double middle = StretchRms(output, 2 * BlockFrames + 448, 64);
    const double end = StretchRms(output, 3 * BlockFrames - 64, 64);
    EXPECT_GT(start, 0.8 * toneLevel);
    EXPECT_LT(middle, 0.8 * start);
    EXPECT_LT(end, 0.05 * toneLevel);

    // And opens again the same way, back to the untouched voice once the glide is over.
    Samples again = Tone(5000.0, 10000.0, 1, 2 * BlockFrames);
    Voice.SetMuffleIntensity("door", 0);
    Voice.ProcessMuffle("door", again.data(), BlockFrames, 1, 1.0f);
    EXPECT_LT(StretchRms(again, 0, 64), 0.2 * toneLevel);
    EXPECT_GT(StretchRms(again, BlockFrames - 64, 64), 0.8 * toneLevel);
    Voice.ProcessMuffle("door", again.data() + BlockFrames, BlockFrames, 1, 1.0f);
    const Samples open = Tone(5000.0, 10000.0, 1, 2 * BlockFrames);
    EXPECT_TRUE(std::equal(open.begin() + BlockFrames, open.end(), again.begin() + BlockFrames));
}

TEST_F(VoiceStreamingTest, ARadioGoingOutOfRangeFadesItsNoiseIn) {
    Samples air(static_cast<std::size_t>(2 * BlockFrames), 0);
    Voice.SetRadioDistortion("walking away", 0.0f);
    Voice.ProcessRadio("walking away", air.data(), BlockFrames, 1, 1.0f);
    Voice.SetRadioDistortion("walking away", 18.0f);
    Voice.ProcessRadio("walking away", air.data() + BlockFrames, BlockFrames, 1, 1.0f);
    const double early = StretchRms(air, BlockFrames, 128);
    const double late = StretchRms(air, 2 * BlockFrames - 128, 128);
    EXPECT_GT(late, 300.0);
    EXPECT_LT(early, 0.3 * late);
}

TEST_F(VoiceStreamingTest, TheCallersFloatingPointModeIsLeftAsItWas) {
    const unsigned original = _mm_getcsr();
    const ProcessFunction effects[]{Voice.ProcessMuffle, Voice.ProcessPhone, Voice.ProcessRadio,
                                    Voice.ProcessMegaphone};
    Voice.SetPhoneDistortion("mode", 0.0f);
    Voice.SetRadioDistortion("mode", 18.0f);
    for (const unsigned mode : {0x1F80u, 0x1F80u | 0x8040u}) {
        _mm_setcsr(mode);
        for (const ProcessFunction effect : effects) {
            Samples block = Tone(440.0, 20000.0, 2, BlockFrames);
            const unsigned before = _mm_getcsr();
            effect("mode", block.data(), BlockFrames, 2, 1.0f);
            EXPECT_EQ(_mm_getcsr(), before);
            EXPECT_EQ(before & 0xFFC0u, mode & 0xFFC0u);
        }
    }
    _mm_setcsr(original);
}

} // namespace
} // namespace Tralvonic::VoiceTesting
