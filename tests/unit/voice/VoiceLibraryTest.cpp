// The library as a binary and its call surface: the release it carries, how it treats the
// volume and its arguments, and that channels keep apart. What it exports and needs is read
// from the ELF file in VoiceLibraryElfPosix.cpp and from the DLL by the Win64.* checks.

#include "VoiceLibrary.h"
#include "version/Version.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>

namespace Tralvonic::VoiceTesting {
namespace {

using VoiceLibraryTest = VoiceLibraryFixture;

TEST_F(VoiceLibraryTest, CarriesTheReleaseItWasBuiltWith) {
    std::ifstream file(LibraryPath, std::ios::binary);
    const std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_FALSE(content.empty());
    EXPECT_NE(content.find("Tralvonic VoiceDistortion " + std::string(ReleaseVersion) + '\0'),
              std::string::npos);
}

TEST_F(VoiceLibraryTest, VolumeIsAGainThatSaturatesAndTruncates) {
    Voice.SetMuffleIntensity("gain", 0);
    const Samples input{1000, -1001, 20000, -20000, 32767, -32768, 3, 0};

    Samples output = input;
    Voice.ProcessMuffle("gain", output.data(), 8, 1, 1.0f);
    EXPECT_EQ(output, input);

    Voice.SetMuffleIntensity("half", 0);
    output = input;
    Voice.ProcessMuffle("half", output.data(), 8, 1, 0.5f);
    EXPECT_EQ(output, (Samples{500, -500, 10000, -10000, 16383, -16384, 1, 0}));

    Voice.SetMuffleIntensity("loud", 0);
    output = input;
    Voice.ProcessMuffle("loud", output.data(), 8, 1, 4.0f);
    EXPECT_EQ(output, (Samples{4000, -4004, 32767, -32768, 32767, -32768, 12, 0}));

    // A volume that is no gain at all silences rather than producing garbage.
    for (const float broken : {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()}) {
        const std::string name = "broken " + std::to_string(broken);
        Voice.SetMuffleIntensity(name.c_str(), 0);
        output = input;
        Voice.ProcessMuffle(name.c_str(), output.data(), 8, 1, broken);
        EXPECT_EQ(output, Samples(8, 0)) << broken;
    }
}

TEST_F(VoiceLibraryTest, ChangedVolumeGlidesOverOneBlockInsteadOfJumping) {
    Voice.SetMuffleIntensity("glide", 0);
    Samples steady(BlockFrames, 10000);
    Voice.ProcessMuffle("glide", steady.data(), BlockFrames, 1, 1.0f);
    ASSERT_EQ(steady, Samples(BlockFrames, 10000));

    Samples fading(BlockFrames, 10000);
    Voice.ProcessMuffle("glide", fading.data(), BlockFrames, 1, 0.0f);
    EXPECT_GT(fading.front(), 9900);
    EXPECT_EQ(fading.back(), 0);
    EXPECT_TRUE(std::is_sorted(fading.rbegin(), fading.rend()));

    Samples silent(BlockFrames, 10000);
    Voice.ProcessMuffle("glide", silent.data(), BlockFrames, 1, 0.0f);
    EXPECT_EQ(silent, Samples(BlockFrames, 0));
}

TEST_F(VoiceLibraryTest, VolumeScalesTheOutputOfEveryEffect) {
    const Samples tone = Tone(1000.0, 8000.0);
    const std::pair<const char*, ProcessFunction> effects[]{
        {"phone", Voice.ProcessPhone}, {"radio", Voice.ProcessRadio}, {"megaphone", Voice.ProcessMegaphone}};
    for (const auto& [effect, process] : effects) {
        const std::string full = std::string(effect) + " full";
        const std::string half = std::string(effect) + " half";
        const Samples fullOutput = ProcessInBlocks(process, full.c_str(), tone);
        const Samples halfOutput = ProcessInBlocks(process, half.c_str(), tone, 1, 0.5f);
        ASSERT_GT(Rms(fullOutput), 1000.0) << effect;
        for (std::size_t i = 0; i < tone.size(); ++i) {
            ASSERT_NEAR(halfOutput[i], fullOutput[i] / 2.0, 1.0) << effect << " at " << i;
        }
    }
}

TEST_F(VoiceLibraryTest, UnusableArgumentsLeaveTheBufferAlone) {
    const Samples input{1000, -1000, 2000, -2000};
    Samples output = input;
    Voice.SetMuffleIntensity(nullptr, 5);
    Voice.SetPhoneDistortion(nullptr, 5.0f);
    Voice.SetRadioDistortion(nullptr, 5.0f);
    Voice.RemovePlayer(nullptr);
    Voice.ProcessMuffle(nullptr, output.data(), 2, 2, 0.5f);
    Voice.ProcessPhone("arguments", output.data(), 0, 2, 0.5f);
    Voice.ProcessRadio("arguments", output.data(), -4, 2, 0.5f);
    Voice.ProcessMegaphone("arguments", output.data(), 2, 0, 0.5f);
    Voice.ProcessMuffle("arguments", nullptr, 2, 2, 0.5f);
    EXPECT_EQ(output, input);
}

TEST_F(VoiceLibraryTest, EachChannelIsFilteredOnItsOwn) {
    // Left a high tone, right a low one: a muffle that mixed up channels or their filter
    // memory would leak the one into the other.
    const Samples high = Tone(6000.0, 10000.0);
    const Samples low = Tone(200.0, 10000.0);
    Samples stereo;
    for (std::size_t i = 0; i < high.size(); ++i) {
        stereo.push_back(high[i]);
        stereo.push_back(low[i]);
    }
    Voice.SetMuffleIntensity("stereo", 10);
    const Samples output = ProcessInBlocks(Voice.ProcessMuffle, "stereo", stereo, 2);
    EXPECT_LT(Decibels(Rms(output, 2, 0), Rms(high)), -30.0);
    EXPECT_NEAR(Decibels(Rms(output, 2, 1), Rms(low)), 0.0, 1.0);

    // Channels past the eighth have no filter of their own and keep their samples.
    Samples wide(static_cast<std::size_t>(BlockFrames * 10), 0);
    for (std::size_t f = 0; f < BlockFrames; ++f) {
        wide[f * 10] = high[f];
        wide[f * 10 + 9] = high[f];
    }
    Voice.ProcessMuffle("stereo", wide.data(), BlockFrames, 10, 1.0f);
    for (std::size_t f = 0; f < BlockFrames; ++f) {
        ASSERT_EQ(wide[f * 10 + 9], high[f]) << f;
    }
}

} // namespace
} // namespace Tralvonic::VoiceTesting
