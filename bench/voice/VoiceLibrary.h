#pragma once
// The built voice-effect library for the benchmarks, opened with the dynamic loader as the
// plugin opens it, and a speech-like signal to feed it in host-sized blocks.

#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>
#include <vector>

namespace Tralvonic::VoiceBench {

using ProcessFunction = void (*)(const char*, std::int16_t*, std::int32_t, std::int32_t, float);
using SetFunction = void (*)(const char*, float);
using SetIntensityFunction = void (*)(const char*, std::int32_t);

// One host block: 20 ms at 48 kHz, stereo.
constexpr std::int32_t BlockFrames = 960;
constexpr std::int32_t Channels = 2;
constexpr std::size_t BlockSamples = static_cast<std::size_t>(BlockFrames * Channels);

// The library the build made, or another build of it named by TRALVONIC_VOICE_LIBRARY_UNDER_TEST
// (the build with the baseline kernels alone, for a processor without AVX2).
inline void* Library() {
    static void* handle = [] {
        const char* other = std::getenv("TRALVONIC_VOICE_LIBRARY_UNDER_TEST");
        return dlopen(other != nullptr && *other != '\0' ? other : TRALVONIC_VOICE_LIBRARY,
                      RTLD_NOW | RTLD_LOCAL);
    }();
    return handle;
}

template <typename Function> Function Entry(const char* name) {
    return Library() != nullptr ? reinterpret_cast<Function>(dlsym(Library(), name)) : nullptr;
}

// `blocks` blocks of a voiced sound: a 140 Hz pulse-like tone with its harmonics shaped by two
// formants and a syllable envelope, peaking near -6 dBFS, the same in both channels.
inline std::vector<std::int16_t> Speechlike(std::int32_t blocks) {
    std::vector<std::int16_t> samples(static_cast<std::size_t>(blocks) * BlockSamples);
    const std::int32_t frames = blocks * BlockFrames;
    for (std::int32_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / 48000.0;
        double value = 0.0;
        for (int harmonic = 1; harmonic <= 24; ++harmonic) {
            const double hz = 140.0 * harmonic;
            const double formants = 1.0 / (1.0 + std::pow((hz - 700.0) / 300.0, 2.0)) +
                                    0.5 / (1.0 + std::pow((hz - 1800.0) / 400.0, 2.0));
            value += formants * std::sin(2.0 * std::numbers::pi * hz * t) / harmonic;
        }
        const double syllable = 0.55 + 0.45 * std::sin(2.0 * std::numbers::pi * 4.0 * t);
        const auto sample = static_cast<std::int16_t>(std::lround(9000.0 * syllable * value));
        samples[static_cast<std::size_t>(f * Channels)] = sample;
        samples[static_cast<std::size_t>(f * Channels + 1)] = sample;
    }
    return samples;
}

} // namespace Tralvonic::VoiceBench
