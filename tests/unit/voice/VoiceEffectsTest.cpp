// What each effect does to the sound: tones of known frequency through the built library,
// measured after the filters have settled.

#include "VoiceLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace Tralvonic::VoiceTesting {
namespace {

using VoiceEffectsTest = VoiceLibraryFixture;

// The level of a tone after the effect, in dB relative to the tone; each call a fresh player.
double Response(ProcessFunction process, const std::string& name, double frequencyHz,
                double amplitude = 8000.0) {
    const Samples tone = Tone(frequencyHz, amplitude);
    return Decibels(Rms(ProcessInBlocks(process, name.c_str(), tone)), Rms(tone));
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

TEST_F(VoiceEffectsTest, PhoneAndRadioPassTheTelephoneBandWithFourthOrderEdges) {
    const std::pair<std::string, ProcessFunction> effects[]{{"phone", Voice.ProcessPhone},
                                                            {"radio", Voice.ProcessRadio}};
    for (const auto& [effect, process] : effects) {
        const double middle = Response(process, effect + " 1k", 1000.0);
        EXPECT_NEAR(middle, 0.0, 1.0) << effect;
        // The edges of the band: half power at 300 Hz and 3400 Hz, 24 dB an octave beyond.
        EXPECT_NEAR(Response(process, effect + " 300", 300.0), middle - 3.0, 1.0) << effect;
        EXPECT_NEAR(Response(process, effect + " 3400", 3400.0), middle - 3.0, 1.0) << effect;
        EXPECT_LT(Response(process, effect + " 150", 150.0), middle - 20.0) << effect;
        EXPECT_LT(Response(process, effect + " 100", 100.0), middle - 35.0) << effect;
        EXPECT_LT(Response(process, effect + " 6800", 6800.0), middle - 20.0) << effect;
        EXPECT_LT(Response(process, effect + " 8k", 8000.0), middle - 25.0) << effect;
    }
}

// A fresh player with its line set to `value` under a name of its own.
std::string LineAt(void (*set)(const char*, float), const std::string& label, float value) {
    std::string name = label + " " + std::to_string(value);
    set(name.c_str(), value);
    return name;
}

TEST_F(VoiceEffectsTest, PhoneDegradesAsTheSignalFallsAndIsCleanAtFullSignal) {
    const Samples voice = Tone(700.0, 6000.0);
    const Samples silence(ToneFrames, 0);
    // Strength 20 is full signal: the line is only the band.
    const Samples full =
        ProcessInBlocks(Voice.ProcessPhone, LineAt(Voice.SetPhoneDistortion, "full", 20.0f).c_str(), voice);
    EXPECT_GT(SignalToNoise(full, 700.0), 60.0);
    EXPECT_EQ(ProcessInBlocks(Voice.ProcessPhone, LineAt(Voice.SetPhoneDistortion, "quiet", 20.0f).c_str(),
                              silence),
              silence);

    // Every step down in strength is heard as more noise and distortion, four steps clearly.
    double previous = SignalToNoise(full, 700.0);
    double fourStepsBefore = previous + 1.0;
    for (int strength = 19; strength >= 0; --strength) {
        const Samples line = ProcessInBlocks(
            Voice.ProcessPhone,
            LineAt(Voice.SetPhoneDistortion, "phone", static_cast<float>(strength)).c_str(), voice);
        const double snr = SignalToNoise(line, 700.0);
        EXPECT_LT(snr, previous) << strength;
        previous = snr;
        if (strength % 4 == 0) {
            EXPECT_LT(snr, fourStepsBefore - 1.0) << strength;
            fourStepsBefore = snr;
        }
    }
    // With no signal the voice is rough but still the loudest thing on the line.
    EXPECT_GT(previous, 3.0);
    EXPECT_LT(previous, 20.0);

    const double halfHiss = Rms(ProcessInBlocks(
        Voice.ProcessPhone, LineAt(Voice.SetPhoneDistortion, "hiss", 10.0f).c_str(), silence));
    const double noSignalHiss = Rms(
        ProcessInBlocks(Voice.ProcessPhone, LineAt(Voice.SetPhoneDistortion, "hiss", 0.0f).c_str(), silence));
    EXPECT_GT(halfHiss, 30.0);
    EXPECT_GT(noSignalHiss, halfHiss * 1.5);

    // Past the range is held to it; a strength that is not a number leaves the line clean.
    EXPECT_EQ(ProcessInBlocks(Voice.ProcessPhone, LineAt(Voice.SetPhoneDistortion, "above", 35.0f).c_str(),
                              silence),
              silence);
    EXPECT_EQ(ProcessInBlocks(
                  Voice.ProcessPhone,
                  LineAt(Voice.SetPhoneDistortion, "nan", std::numeric_limits<float>::quiet_NaN()).c_str(),
                  silence),
              silence);
    EXPECT_EQ(
        ProcessInBlocks(Voice.ProcessPhone, LineAt(Voice.SetPhoneDistortion, "below", -5.0f).c_str(), voice),
        ProcessInBlocks(Voice.ProcessPhone, LineAt(Voice.SetPhoneDistortion, "none", 0.0f).c_str(), voice));
}

TEST_F(VoiceEffectsTest, RadioHissAndCrackleRiseWithTheDistortion) {
    const Samples voice = Tone(700.0, 6000.0);
    const Samples silence(ToneFrames * 3, 0);
    const Samples clear =
        ProcessInBlocks(Voice.ProcessRadio, LineAt(Voice.SetRadioDistortion, "clear", 0.0f).c_str(), voice);
    EXPECT_GT(SignalToNoise(clear, 700.0), 60.0);
    EXPECT_EQ(
        ProcessInBlocks(Voice.ProcessRadio, LineAt(Voice.SetRadioDistortion, "quiet", 0.0f).c_str(), silence),
        silence);

    double previousSnr = SignalToNoise(clear, 700.0);
    double previousHiss = 0.0;
    double previousPeak = 0.0;
    for (const float distortion : {3.0f, 6.0f, 9.0f, 12.0f, 15.0f, 18.0f}) {
        const Samples line = ProcessInBlocks(
            Voice.ProcessRadio, LineAt(Voice.SetRadioDistortion, "radio", distortion).c_str(), voice);
        const double snr = SignalToNoise(line, 700.0);
        EXPECT_LT(snr, previousSnr - 1.0) << distortion;
        previousSnr = snr;

        const Samples air = ProcessInBlocks(
            Voice.ProcessRadio, LineAt(Voice.SetRadioDistortion, "air", distortion).c_str(), silence);
        const double hiss = Rms(air);
        const double peak = Peak(air);
        EXPECT_GT(hiss, previousHiss) << distortion;
        EXPECT_GT(peak, previousPeak) << distortion;
        previousHiss = hiss;
        previousPeak = peak;
    }
    // At the end of the range the crackles stand out of the hiss.
    const Samples air =
        ProcessInBlocks(Voice.ProcessRadio, LineAt(Voice.SetRadioDistortion, "end", 18.0f).c_str(), silence);
    const double hissLevel = Rms(air);
    const auto loud =
        std::count_if(air.begin(), air.end(), [&](std::int16_t s) { return std::abs(s) > 5.0 * hissLevel; });
    EXPECT_GT(loud, 10);
    // ... but do not crack louder than the voice they break into: pops above the speech are
    // what a listener turns the radio down for.
    const Samples endVoice = ProcessInBlocks(
        Voice.ProcessRadio, LineAt(Voice.SetRadioDistortion, "end talk", 18.0f).c_str(), voice);
    // A tone clipped this hard peaks at about 1.4 times its RMS.
    EXPECT_LT(Peak(air), 1.4 * Rms(endVoice));
    // Past the range is held to it.
    EXPECT_EQ(
        ProcessInBlocks(Voice.ProcessRadio, LineAt(Voice.SetRadioDistortion, "past", 40.0f).c_str(), voice),
        ProcessInBlocks(Voice.ProcessRadio, LineAt(Voice.SetRadioDistortion, "end voice", 18.0f).c_str(),
                        voice));
}

// Power at `frequencyHz` of a mono signal, averaged over stretches of 2400 frames (Welch),
// so that the random spread of one noise measurement shrinks to about a decibel.
double AveragedPower(const Samples& samples, double frequencyHz) {
    constexpr std::size_t Stretch = 2400;
    double total = 0.0;
    std::size_t count = 0;
    for (std::size_t start = 0; start + Stretch <= samples.size(); start += Stretch, ++count) {
        double real = 0.0;
        double imaginary = 0.0;
        for (std::size_t i = 0; i < Stretch; ++i) {
            const double window =
                0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * static_cast<double>(i) / Stretch);
            const double phase = 2.0 * std::numbers::pi * frequencyHz * static_cast<double>(i) / SampleRate;
            real += window * samples[start + i] * std::cos(phase);
            imaginary += window * samples[start + i] * std::sin(phase);
        }
        total += real * real + imaginary * imaginary;
    }
    return 10.0 * std::log10(total / static_cast<double>(count) + 1e-9);
}

TEST_F(VoiceEffectsTest, LineHissIsSmoothNoiseWithoutTones) {
    // A second of hiss at the worst line of each kind: its spectrum follows the band's slopes
    // without lines standing out of it (noise generators repeating one another make tones).
    for (const auto& [effect, process, set] :
         {std::tuple{"phone", Voice.ProcessPhone, Voice.SetPhoneDistortion},
          std::tuple{"radio", Voice.ProcessRadio, Voice.SetRadioDistortion}}) {
        const std::string name = std::string(effect) + " hiss";
        set(name.c_str(), std::string(effect) == "phone" ? 0.0f : 18.0f);
        const Samples hiss = ProcessInBlocks(process, name.c_str(), Samples(SampleRate, 0));
        std::vector<double> power;
        for (double hz = 500.0; hz <= 11000.0; hz += 125.0) {
            power.push_back(AveragedPower(hiss, hz));
        }
        for (std::size_t i = 2; i + 2 < power.size(); ++i) {
            const double neighbours = (power[i - 2] + power[i - 1] + power[i + 1] + power[i + 2]) / 4.0;
            EXPECT_LT(power[i], neighbours + 4.0)
                << effect << " at " << 500.0 + 125.0 * static_cast<double>(i) << " Hz";
        }
    }
}

TEST_F(VoiceEffectsTest, MegaphoneIsLouderBandLimitedAndClipsSoftly) {
    EXPECT_GT(Response(Voice.ProcessMegaphone, "quiet", 1000.0, 1000.0), 6.0);
    EXPECT_LT(Response(Voice.ProcessMegaphone, "rumble", 100.0, 1000.0),
              Response(Voice.ProcessMegaphone, "voice", 1000.0, 1000.0) - 12.0);

    // Speaking level (-20 dBFS) is rounded off a little, not clipped: harmonics stay far
    // below the voice, where a hard clip at this drive would put them near it.
    const Samples speech = ProcessInBlocks(Voice.ProcessMegaphone, "speech", Tone(1000.0, 3300.0));
    EXPECT_GT(SignalToNoise(speech, 1000.0), 25.0);

    // A full-scale voice is squashed below the limits rather than cut flat at them.
    const Samples shout = ProcessInBlocks(Voice.ProcessMegaphone, "shout", Tone(1000.0, 32767.0));
    EXPECT_GT(Rms(shout), 15000.0);
    EXPECT_EQ(
        std::count_if(shout.begin(), shout.end(), [](std::int16_t s) { return s >= 32767 || s <= -32768; }),
        0);
}

} // namespace
} // namespace Tralvonic::VoiceTesting
