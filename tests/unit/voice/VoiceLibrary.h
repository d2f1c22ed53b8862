#pragma once
// The built voice-effect library, opened with the dynamic loader as the plugin opens it, and
// the signals its tests feed it: tones in host-sized blocks and their levels.

#include "SharedLibrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

namespace Tralvonic::VoiceTesting {

using Samples = std::vector<std::int16_t>;
using ProcessFunction = void (*)(const char*, std::int16_t*, std::int32_t, std::int32_t, float);

// The library the build made, or another build of it named by TRALVONIC_VOICE_LIBRARY_UNDER_TEST
// (the baseline kernels' build runs the same tests that way).
inline const std::string LibraryPath = [] {
    const char* other = std::getenv("TRALVONIC_VOICE_LIBRARY_UNDER_TEST");
    return std::string(other != nullptr && *other != '\0' ? other : TRALVONIC_VOICE_LIBRARY);
}();
constexpr std::int32_t SampleRate = 48000;
constexpr std::int32_t BlockFrames = 960;
// Frames left out of level measurements while the filters settle.
constexpr std::int32_t SettleFrames = 2400;
constexpr std::int32_t ToneFrames = 9600;

class VoiceLibrary {
public:
    VoiceLibrary() {
        try {
            _handle = std::make_unique<Sim::SharedLibrary>(LibraryPath);
        } catch (const std::exception& error) {
            ADD_FAILURE() << error.what();
            return;
        }
        Resolve("Test", Test);
        Resolve("RemovePlayer", RemovePlayer);
        Resolve("SetMuffleIntensity", SetMuffleIntensity);
        Resolve("SetPhoneDistortion", SetPhoneDistortion);
        Resolve("SetRadioDistortion", SetRadioDistortion);
        Resolve("ProcessMuffle", ProcessMuffle);
        Resolve("ProcessMegaphone", ProcessMegaphone);
        Resolve("ProcessPhone", ProcessPhone);
        Resolve("ProcessRadio", ProcessRadio);
    }
    ~VoiceLibrary() = default;
    VoiceLibrary(const VoiceLibrary&) = delete;
    VoiceLibrary& operator=(const VoiceLibrary&) = delete;

    bool IsComplete() const { return _complete && _handle != nullptr; }

    std::int32_t (*Test)() = nullptr;
    void (*RemovePlayer)(const char*) = nullptr;
    void (*SetMuffleIntensity)(const char*, std::int32_t) = nullptr;
    void (*SetPhoneDistortion)(const char*, float) = nullptr;
    void (*SetRadioDistortion)(const char*, float) = nullptr;
    ProcessFunction ProcessMuffle = nullptr;
    ProcessFunction ProcessMegaphone = nullptr;
    ProcessFunction ProcessPhone = nullptr;
    ProcessFunction ProcessRadio = nullptr;

private:
    template <typename Function> void Resolve(const char* name, Function& target) {
        target = reinterpret_cast<Function>(_handle->Symbol(name));
        if (target == nullptr) {
            ADD_FAILURE() << LibraryPath << " lacks " << name;
            _complete = false;
        }
    }

    std::unique_ptr<Sim::SharedLibrary> _handle;
    bool _complete = true;
};

// Every test opens the library afresh; names are unique per test because the library keeps
// its players for as long as any handle on it is open.
class VoiceLibraryFixture : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Voice.IsComplete()); }

    VoiceLibrary Voice;
};

// A sine of `amplitude` at `frequencyHz` in every channel.
inline Samples Tone(double frequencyHz, double amplitude, std::int32_t channels = 1,
                    std::int32_t frames = ToneFrames) {
    Samples samples(static_cast<std::size_t>(frames * channels));
    for (std::int32_t f = 0; f < frames; ++f) {
        const double value = amplitude * std::sin(2.0 * std::numbers::pi * frequencyHz * f / SampleRate);
        for (std::int32_t c = 0; c < channels; ++c) {
            samples[static_cast<std::size_t>(f * channels + c)] =
                static_cast<std::int16_t>(std::lround(value));
        }
    }
    return samples;
}

// Runs the samples through an effect in host-sized blocks, as the audio callbacks do.
inline Samples ProcessInBlocks(ProcessFunction process, const char* name, Samples samples,
                               std::int32_t channels = 1, float volume = 1.0f) {
    const auto frames = static_cast<std::int32_t>(samples.size()) / channels;
    for (std::int32_t start = 0; start < frames; start += BlockFrames) {
        process(name, samples.data() + start * channels, std::min(BlockFrames, frames - start), channels,
                volume);
    }
    return samples;
}

// The largest magnitude of any sample.
inline double Peak(const Samples& samples) {
    double peak = 0.0;
    for (const auto sample : samples) {
        peak = std::max(peak, std::abs(static_cast<double>(sample)));
    }
    return peak;
}

// Root mean square of one channel after the filters have settled.
inline double Rms(const Samples& samples, std::int32_t channels = 1, std::int32_t channel = 0) {
    double sum = 0.0;
    std::int32_t count = 0;
    for (auto i = static_cast<std::size_t>(SettleFrames * channels + channel); i < samples.size();
         i += static_cast<std::size_t>(channels)) {
        sum += static_cast<double>(samples[i]) * samples[i];
        ++count;
    }
    return count > 0 ? std::sqrt(sum / count) : 0.0;
}

// How far above everything else the tone at `frequencyHz` stands in one channel, in dB: the
// best-fitting sine at that frequency against the rest (noise, harmonics, crackle), after the
// filters have settled. A clean line gives the tone back with its rounding only.
inline double SignalToNoise(const Samples& samples, double frequencyHz, std::int32_t channels = 1,
                            std::int32_t channel = 0) {
    double sine = 0.0, cosine = 0.0, sineEnergy = 0.0, cosineEnergy = 0.0, cross = 0.0;
    const auto at = [&](std::size_t i) {
        return static_cast<double>(samples[i]);
    };
    const auto step = static_cast<std::size_t>(channels);
    const auto first = static_cast<std::size_t>(SettleFrames * channels + channel);
    for (std::size_t i = first; i < samples.size(); i += step) {
        const double phase =
            2.0 * std::numbers::pi * frequencyHz * static_cast<double>(i / step) / SampleRate;
        sine += at(i) * std::sin(phase);
        cosine += at(i) * std::cos(phase);
        sineEnergy += std::sin(phase) * std::sin(phase);
        cosineEnergy += std::cos(phase) * std::cos(phase);
        cross += std::sin(phase) * std::cos(phase);
    }
    // Least squares for a sin + b cos.
    const double determinant = sineEnergy * cosineEnergy - cross * cross;
    const double a = (sine * cosineEnergy - cosine * cross) / determinant;
    const double b = (cosine * sineEnergy - sine * cross) / determinant;
    double toneEnergy = 0.0, restEnergy = 0.0;
    for (std::size_t i = first; i < samples.size(); i += step) {
        const double phase =
            2.0 * std::numbers::pi * frequencyHz * static_cast<double>(i / step) / SampleRate;
        const double tone = a * std::sin(phase) + b * std::cos(phase);
        toneEnergy += tone * tone;
        restEnergy += (at(i) - tone) * (at(i) - tone);
    }
    return 10.0 * std::log10(toneEnergy / std::max(restEnergy, 1e-9));
}

// Level of `output` relative to `reference` in dB; a level below one step counts as one step.
inline double Decibels(double output, double reference) {
    return 20.0 * std::log10(std::max(output, 0.5) / std::max(reference, 0.5));
}

} // namespace Tralvonic::VoiceTesting
