#include "effects/VoiceDistortion.h"

#include "core/Platform.h"
#include "support/LoadedLibrary.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

namespace Tralvonic {
namespace {

const std::string EffectsDirectory = TEST_EFFECTS_DIRECTORY;

// The calls the stand-in library recorded, read through a second handle on the same file.
std::string RecordedCalls(const std::string& directory) {
    const auto path = std::filesystem::path(directory) / Platform::EffectLibraryFileName();
    if (!Testing::IsLibraryLoaded(path)) {
        return "<not loaded>";
    }
    return Testing::CallLoadedTextFunction(path, "TestEffectCalls").value_or("<no record>");
}

TEST(VoiceDistortionTest, MissingOrIncompleteLibraryLeavesEveryCallANoOp) {
    std::string error;
    EXPECT_FALSE(VoiceDistortion::Load(EffectsDirectory + "/nowhere", error));
    EXPECT_NE(error.find(Platform::EffectLibraryFileName()), std::string::npos) << error;
    EXPECT_FALSE(VoiceDistortion::IsLoaded());

    error.clear();
    EXPECT_FALSE(VoiceDistortion::Load(EffectsDirectory + "/incomplete", error));
    EXPECT_NE(error.find("ProcessRadio"), std::string::npos) << error;
    EXPECT_FALSE(VoiceDistortion::IsLoaded());
    EXPECT_FALSE(VoiceDistortion::Test());

    std::array<std::int16_t, 4> samples{1000, -1000, 2000, -2000};
    VoiceDistortion::ProcessMuffle("Bob", samples.data(), 2, 2, 0.5f);
    EXPECT_EQ(samples[0], 1000);
}

TEST(VoiceDistortionTest, CompleteLibraryReceivesEveryCallWithItsArguments) {
    const std::string directory = EffectsDirectory + "/complete";
    std::string error;
    ASSERT_TRUE(VoiceDistortion::Load(directory, error)) << error;
    ASSERT_TRUE(VoiceDistortion::IsLoaded());

    EXPECT_TRUE(VoiceDistortion::Test());
    VoiceDistortion::SetMuffleIntensity("Bob", 7);
    VoiceDistortion::SetPhoneDistortion("Bob", 12.5f);
    VoiceDistortion::SetRadioDistortion("Älva", 18.0f);
    VoiceDistortion::RemovePlayer("Bob");

    std::array<std::int16_t, 4> samples{1000, -1000, 2000, -2000};
    VoiceDistortion::ProcessRadio("Bob", samples.data(), 2, 2, 0.5f);
    EXPECT_EQ(samples, (std::array<std::int16_t, 4>{500, -500, 1000, -1000}));
    VoiceDistortion::ProcessMuffle("Bob", samples.data(), 1, 2, 1.0f);
    VoiceDistortion::ProcessMegaphone("Bob", samples.data(), 1, 2, 1.0f);
    VoiceDistortion::ProcessPhone("Bob", samples.data(), 1, 2, 1.0f);

    EXPECT_EQ(RecordedCalls(directory), "Test\n"
                                        "SetMuffleIntensity Bob 7\n"
                                        "SetPhoneDistortion Bob 12.500000\n"
                                        "SetRadioDistortion Älva 18.000000\n"
                                        "RemovePlayer Bob\n"
                                        "ProcessRadio Bob\n"
                                        "ProcessMuffle Bob\n"
                                        "ProcessMegaphone Bob\n"
                                        "ProcessPhone Bob\n");

    // A later failed load unpublishes the entry points but keeps the library mapped for
    // audio threads that may still be inside it; loading the same folder again reuses it.
    EXPECT_FALSE(VoiceDistortion::Load(EffectsDirectory + "/nowhere", error));
    EXPECT_FALSE(VoiceDistortion::IsLoaded());
    ASSERT_TRUE(VoiceDistortion::Load(directory, error));
    EXPECT_TRUE(VoiceDistortion::Test());
}

} // namespace
} // namespace Tralvonic
