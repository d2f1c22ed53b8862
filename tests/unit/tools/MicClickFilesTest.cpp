// The radio click sounds the build writes into the default sound folder: real 48 kHz 16-bit
// mono wave files, short, clearly audible but far from clipping, fading in and out without a
// jump, and the secondary channel's clicks told apart from the primary's.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace Tralvonic::Test {
namespace {

struct Wave {
    std::uint32_t SampleRate = 0;
    std::uint16_t Channels = 0;
    std::uint16_t BitsPerSample = 0;
    std::vector<std::int16_t> Samples;
};

std::uint32_t Little(const std::vector<char>& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int index = size - 1; index >= 0; --index) {
        value = (value << 8) | static_cast<std::uint8_t>(bytes[offset + static_cast<std::size_t>(index)]);
    }
    return value;
}

Wave Read(const std::string& name) {
    const auto path = std::filesystem::path(TRALVONIC_DEFAULT_SOUNDS_DIRECTORY) / (name + ".wav");
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    Wave wave;
    EXPECT_GE(bytes.size(), 44u) << path;
    if (bytes.size() < 44) {
        return wave;
    }
    EXPECT_EQ(std::string(bytes.data(), 4), "RIFF");
    EXPECT_EQ(Little(bytes, 4, 4), bytes.size() - 8);
    EXPECT_EQ(std::string(bytes.data() + 8, 8), "WAVEfmt ");
    EXPECT_EQ(Little(bytes, 20, 2), 1u); // PCM
    wave.Channels = static_cast<std::uint16_t>(Little(bytes, 22, 2));
    wave.SampleRate = Little(bytes, 24, 4);
    wave.BitsPerSample = static_cast<std::uint16_t>(Little(bytes, 34, 2));
    EXPECT_EQ(std::string(bytes.data() + 36, 4), "data");
    EXPECT_EQ(Little(bytes, 40, 4), bytes.size() - 44);
    for (std::size_t offset = 44; offset + 1 < bytes.size(); offset += 2) {
        wave.Samples.push_back(static_cast<std::int16_t>(Little(bytes, offset, 2)));
    }
    return wave;
}

int Peak(const std::vector<std::int16_t>& samples) {
    int peak = 0;
    for (const auto sample : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(sample)));
    }
    return peak;
}

// The frequency with the most zero crossings per second, over the first `seconds`.
double CrossingsPerSecond(const std::vector<std::int16_t>& samples, double seconds) {
    const auto count = std::min(samples.size(), static_cast<std::size_t>(seconds * 48000));
    int crossings = 0;
    for (std::size_t index = 1; index < count; ++index) {
        crossings += (samples[index - 1] < 0) != (samples[index] < 0) ? 1 : 0;
    }
    return crossings / 2.0 / seconds;
}

TEST(MicClickFiles, TheSixClicksAreShortCleanMonoWaves) {
    for (const char* name : {"selfOnMicClick", "selfOffMicClick", "onMicClick", "offMicClick",
                             "onSecMicClick", "offSecMicClick"}) {
        SCOPED_TRACE(name);
        const Wave wave = Read(name);
        EXPECT_EQ(wave.SampleRate, 48000u);
        EXPECT_EQ(wave.Channels, 1u);
        EXPECT_EQ(wave.BitsPerSample, 16u);
        const double seconds = static_cast<double>(wave.Samples.size()) / 48000.0;
        EXPECT_GT(seconds, 0.03);
        EXPECT_LT(seconds, 0.3);
        const int peak = Peak(wave.Samples);
        EXPECT_GT(peak, 32767 / 5);
        EXPECT_LT(peak, 32767 / 2);
        ASSERT_FALSE(wave.Samples.empty());
        EXPECT_LT(std::abs(static_cast<int>(wave.Samples.front())), 500);
        EXPECT_LT(std::abs(static_cast<int>(wave.Samples.back())), 500);
    }
}

TEST(MicClickFiles, SecondaryChannelClicksSoundLowerThanPrimaryOnes) {
    const auto primary = Read("onMicClick").Samples;
    const auto secondary = Read("onSecMicClick").Samples;
    ASSERT_FALSE(primary.empty());
    ASSERT_FALSE(secondary.empty());
    // The chirp after the key-up click.
    const std::vector<std::int16_t> primaryChirp(primary.begin() + 600, primary.end());
    const std::vector<std::int16_t> secondaryChirp(secondary.begin() + 600, secondary.end());
    EXPECT_GT(CrossingsPerSecond(primaryChirp, 0.04), CrossingsPerSecond(secondaryChirp, 0.04) * 1.2);
}

} // namespace
} // namespace Tralvonic::Test
