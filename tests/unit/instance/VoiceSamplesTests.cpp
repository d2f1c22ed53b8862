// Sample arithmetic of the voice callbacks, checked on the values the host would see.

#include "instance/SampleQueue.h"
#include "instance/VoiceSamples.h"

#include <gtest/gtest.h>

#include <vector>

namespace Tralvonic::Test {
namespace {

constexpr unsigned int Stereo[] = {Speakers::FrontLeft, Speakers::FrontRight};
constexpr unsigned int Mono[] = {0x4};

TEST(VoiceSamples, GainSaturatesAndTruncatesTowardZero) {
    EXPECT_EQ(ApplyGain(1000, 0.5f), 500);
    EXPECT_EQ(ApplyGain(-999, 0.5f), -499);
    EXPECT_EQ(ApplyGain(30000, 1.6f), 32767);
    EXPECT_EQ(ApplyGain(-30000, 1.6f), -32768);
    EXPECT_EQ(SaturatingAdd(32000, 1000), 32767);
    EXPECT_EQ(SaturatingAdd(-32000, -1000), -32768);
}

TEST(VoiceSamples, AudioModePlacesMonoIntoPairsAndMutesTheOtherSideOfStereo) {
    std::vector<std::int16_t> mono{1, 2, 3, 0, 0, 0};
    const auto left = ApplyAudioMode(mono, 3, 1, StereoMode::LeftOnly);
    EXPECT_EQ(std::vector<std::int16_t>(left.begin(), left.end()),
              (std::vector<std::int16_t>{1, 0, 2, 0, 3, 0}));
    std::vector<std::int16_t> both{7, 0, 0, 0};
    const auto stereo = ApplyAudioMode(both, 2, 1, StereoMode::Stereo);
    EXPECT_EQ(std::vector<std::int16_t>(stereo.begin(), stereo.end()),
              (std::vector<std::int16_t>{7, 7, 0, 0}));
    std::vector<std::int16_t> pairs{1, 2, 3, 4};
    ApplyAudioMode(pairs, 2, 2, StereoMode::RightOnly);
    EXPECT_EQ(pairs, (std::vector<std::int16_t>{0, 2, 0, 4}));
}

TEST(VoiceSamples, OneChannelMixesAnEqualPairOnceAndADifferentPairAsItsSum) {
    std::vector<std::int16_t> out{0, 0, 0, 0};
    MixOutputAudio(out, 1, Mono, 0, 500, 500);
    MixOutputAudio(out, 1, Mono, 1, 500, 300);
    MixOutputAudio(out, 1, Mono, 2, 0, 300);
    MixOutputAudio(out, 1, Mono, 3, 400, 0);
    EXPECT_EQ(out, (std::vector<std::int16_t>{500, 800, 300, 400}));
}

TEST(VoiceSamples, MoreChannelsGetThePairOnlyOnFrontAndHeadphoneSpeakers) {
    const unsigned int speakers[] = {Speakers::FrontLeft, Speakers::FrontRight, Speakers::BackLeft,
                                     Speakers::HeadphonesRight};
    std::vector<std::int16_t> out(4, 10);
    MixOutputAudio(out, 4, speakers, 0, 100, 200);
    EXPECT_EQ(out, (std::vector<std::int16_t>{110, 210, 10, 210}));
}

TEST(VoiceSamples, DownmixFoldsEverySideSpeakerAndTheFillMaskNamesTheOutput) {
    const unsigned int surround[] = {Speakers::FrontLeft, Speakers::FrontRight, 0x4, Speakers::BackLeft,
                                     Speakers::SideRight};
    const std::vector<std::int16_t> frame{100, 200, 999, 30000, 5};
    std::vector<std::int16_t> out(2);
    Downmix(frame, 1, 5, surround, out);
    EXPECT_EQ(out, (std::vector<std::int16_t>{30100, 205}));
    EXPECT_EQ(FilledMask(2, Stereo), 3u);
    EXPECT_EQ(FilledMask(1, Mono), 0x4u);
    const unsigned int headphones[] = {Speakers::HeadphonesLeft, Speakers::HeadphonesRight};
    EXPECT_EQ(FilledMask(2, headphones), 0x30000000u);
}

TEST(VoiceSamples, RelayMixesEveryFittingLayoutAndEmptiesAQueueThatDoesNotFit) {
    SampleQueue queue;
    queue.Reserve();
    // Stereo into mono: an equal pair once, a different pair summed.
    const std::vector<std::int16_t> pairs{300, 300, 300, 200};
    queue.Append(pairs, 0, 2);
    std::vector<std::int16_t> mono{1, 1};
    EXPECT_TRUE(MixRelay(mono, 2, 1, queue, 2));
    EXPECT_EQ(mono, (std::vector<std::int16_t>{301, 501}));
    // Mono into stereo: both sides.
    const std::vector<std::int16_t> single{50};
    queue.Append(single, 0, 1);
    std::vector<std::int16_t> stereo{1, 2};
    EXPECT_TRUE(MixRelay(stereo, 1, 2, queue, 1));
    EXPECT_EQ(stereo, (std::vector<std::int16_t>{51, 52}));
    // Six relayed channels fit no captured layout.
    const std::vector<std::int16_t> surround(12, 1000);
    queue.Append(surround, 0, 6);
    std::vector<std::int16_t> untouched{0, 0};
    EXPECT_FALSE(MixRelay(untouched, 2, 1, queue, 6));
    EXPECT_TRUE(queue.Empty());
    EXPECT_EQ(untouched, (std::vector<std::int16_t>{0, 0}));
}

} // namespace
} // namespace Tralvonic::Test
