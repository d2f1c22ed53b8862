// What each effect does to the sound: tones of known frequency through the built library,
// measured after the filters have settled.

#include "VoiceLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

namespace Tralvonic::VoiceTesting {
namespace {

using VoiceEffectsTest = VoiceLibraryFixture;

// The level of a tone after the effect, in dB relative to the tone; each call a fresh player.
double Response(ProcessFunction process, const std::string& name, double frequencyHz,
                double amplitude = 8000.0) {
    const Samples tone = Tone(frequencyHz, amplitude);
    return Decibels(Rms(ProcessInBlocks(process, name.c_str(), tone)), Rms(tone));
}

// The share of a player's output that is not the clean voice: what remains after the output of
// a fresh player with default settings, scaled to fit best, is taken away, relative to the
// whole. 0 for a clean line; it grows with distortion and noise, not with loudness.
double DistortionShare(ProcessFunction process, const std::string& name) {
    const Samples voice = Tone(700.0, 6000.0);
    const Samples clean = ProcessInBlocks(process, (name + " reference").c_str(), voice);
    const Samples output = ProcessInBlocks(process, name.c_str(), voice);
    double cross = 0.0;
    double cleanEnergy = 0.0;
    double outputEnergy = 0.0;
    for (std::size_t i = SettleFrames; i < voice.size(); ++i) {
        cross += static_cast<double>(output[i]) * clean[i];
        cleanEnergy += static_cast<double>(clean[i]) * clean[i];
        outputEnergy += static_cast<double>(output[i]) * output[i];
    }
    const double fit = cross / cleanEnergy;
    double residualEnergy = 0.0;
    for (std::size_t i = SettleFrames; i < voice.size(); ++i) {
        const double residual = output[i] - fit * clean[i];
        residualEnergy += residual * residual;
    }
    return std::sqrt(residualEnergy / outputEnergy);
}

TEST_F(VoiceEffectsTest, MuffleZeroKeepsTheVoiceAndTenLeavesOnlyItsLowEnd) {
    Voice.SetMuffleIntensity("open", 0);
    const Samples tone = Tone(6000.0, 12000.0);
    EXPECT_EQ(ProcessInBlocks(Voice.ProcessMuffle, "open", tone), tone);

    Voice.SetMuffleIntensity("walled", 10);
    EXPECT_LT(Response(Voice.ProcessMuffle, "walled", 6000.0), -40.0);
    Voice.SetMuffleIntensity("walled low", 10);
    EXPECT_NEAR(Response(Voice.ProcessMuffle, "walled low", 200.0), 0.0, 1.0);
}

TEST_F(VoiceEffectsTest, MuffleDeepensWithIntensityAndIsFullForAnUnsetPlayer) {
    Voice.SetMuffleIntensity("light", 3);
    Voice.SetMuffleIntensity("medium", 6);
    Voice.SetMuffleIntensity("heavy", 10);
    const double light = Response(Voice.ProcessMuffle, "light", 3000.0);
    const double medium = Response(Voice.ProcessMuffle, "medium", 3000.0);
    const double heavy = Response(Voice.ProcessMuffle, "heavy", 3000.0);
    EXPECT_GT(light, -3.0);
    EXPECT_LT(medium, light - 6.0);
    EXPECT_LT(heavy, medium - 6.0);

    // The game's muffle record defaults to full intensity, and a player's first update does
    // not pass it on; the library starts from the same default.
    EXPECT_NEAR(Response(Voice.ProcessMuffle, "unset", 3000.0), heavy, 0.5);

    // Out-of-range intensities are held to the range.
    Voice.SetMuffleIntensity("below", -4);
    const Samples tone = Tone(3000.0, 8000.0);
    EXPECT_EQ(ProcessInBlocks(Voice.ProcessMuffle, "below", tone), tone);
}

TEST_F(VoiceEffectsTest, PhoneAndRadioPassOnlyTheVoiceBand) {
    const std::pair<std::string, ProcessFunction> effects[]{{"phone", Voice.ProcessPhone},
                                                            {"radio", Voice.ProcessRadio}};
    for (const auto& [effect, process] : effects) {
        const double middle = Response(process, effect + " 1k", 1000.0);
        EXPECT_NEAR(middle, 0.0, 1.5) << effect;
        EXPECT_LT(Response(process, effect + " 100", 100.0), middle - 20.0) << effect;
        EXPECT_LT(Response(process, effect + " 8k", 8000.0), middle - 20.0) << effect;
    }
}

TEST_F(VoiceEffectsTest, PhoneAndRadioDistortionGrowsWithTheValue) {
    struct Case {
        std::string Effect;
        ProcessFunction Process;
        void (*Set)(const char*, float);
        float Half;
        float Full;
    };
    for (const Case& c : {Case{"phone", Voice.ProcessPhone, Voice.SetPhoneDistortion, 10.0f, 20.0f},
                          Case{"radio", Voice.ProcessRadio, Voice.SetRadioDistortion, 9.0f, 18.0f}}) {
        // A fresh player with the distortion set under a name of its own.
        auto player = [&](const char* label, float distortion) {
            std::string name = c.Effect + " " + label;
            c.Set(name.c_str(), distortion);
            return name;
        };
        EXPECT_EQ(DistortionShare(c.Process, player("zero", 0.0f)), 0.0) << c.Effect;
        const double half = DistortionShare(c.Process, player("half", c.Half));
        const double full = DistortionShare(c.Process, player("full", c.Full));
        EXPECT_GT(half, 0.04) << c.Effect;
        EXPECT_GT(full, half * 1.5) << c.Effect;

        // Noise comes with the distortion only: a clear line stays silent between words.
        const Samples silence(ToneFrames, 0);
        EXPECT_EQ(ProcessInBlocks(c.Process, player("quiet", 0.0f).c_str(), silence), silence) << c.Effect;
        const double halfNoise =
            Rms(ProcessInBlocks(c.Process, player("half noise", c.Half).c_str(), silence));
        const double fullNoise =
            Rms(ProcessInBlocks(c.Process, player("full noise", c.Full).c_str(), silence));
        EXPECT_GT(halfNoise, 30.0) << c.Effect;
        EXPECT_GT(fullNoise, halfNoise * 1.5) << c.Effect;
    }
}

TEST_F(VoiceEffectsTest, MegaphoneIsLouderBandLimitedAndClipsSoftly) {
    EXPECT_GT(Response(Voice.ProcessMegaphone, "quiet", 1000.0, 1000.0), 6.0);
    EXPECT_LT(Response(Voice.ProcessMegaphone, "rumble", 100.0, 1000.0),
              Response(Voice.ProcessMegaphone, "voice", 1000.0, 1000.0) - 12.0);

    // A full-scale voice is rounded off below the limits rather than cut flat at them.
    const Samples shout = ProcessInBlocks(Voice.ProcessMegaphone, "shout", Tone(1000.0, 32767.0));
    EXPECT_GT(Rms(shout), 15000.0);
    EXPECT_EQ(
        std::count_if(shout.begin(), shout.end(), [](std::int16_t s) { return s >= 32767 || s <= -32768; }),
        0);
}

} // namespace
} // namespace Tralvonic::VoiceTesting
