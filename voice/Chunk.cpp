#include "Chunk.h"

#include "Dispatch.h"

#include "Lanes.h"

#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace Tralvonic::Voice {

namespace {

constexpr float ToUnitScale = 1.0f / SampleScale;
constexpr float LowestSample = -32768.0f;
constexpr float HighestSample = 32767.0f;

// Clamped before the conversion, which is undefined past the 16-bit range.
[[gnu::always_inline]] inline std::int16_t ToSample(float value) noexcept {
    const float clamped = std::min(std::max(value, LowestSample), HighestSample);
    return static_cast<std::int16_t>(clamped);
}

// Four frames of the pair through a steady scale into eight samples, with the saturation and
// truncation of ToSample.
[[gnu::always_inline]] inline __m128i FourFramesToSamples(const float* floats, Lanes scale) noexcept {
    Lanes first;
    Lanes second;
    std::memcpy(&first, floats, sizeof first);
    std::memcpy(&second, floats + 4, sizeof second);
    const Lanes low = Splat(LowestSample);
    const Lanes high = Splat(HighestSample);
    const __m128i a = _mm_cvttps_epi32(reinterpret_cast<__m128>(Clamp(first * scale, low, high)));
    const __m128i b = _mm_cvttps_epi32(reinterpret_cast<__m128>(Clamp(second * scale, low, high)));
    return _mm_packs_epi32(a, b);
}

// The gain for the frame `offset` frames into the chunk.
[[gnu::always_inline]] inline float GainAt(const Ramp& gain, std::int32_t offset) noexcept {
    return gain.At(gain.Position() + offset + 1);
}

// Whether the pair starting at `first` has a second channel with lanes of its own.
[[gnu::always_inline]] inline bool HasPartner(std::int32_t first, std::int32_t channels) noexcept {
    return first + 1 < std::min(channels, MaxChannels);
}

[[gnu::always_inline]] inline void LoadPairKernel(const std::int16_t* samples, std::int32_t frames,
                                                  std::int32_t channels, std::int32_t pair,
                                                  PairFrames& floats) noexcept {
    float* out = floats.data();
    if (channels == 2) {
        // The host's layout is already the pair's: one pass the compiler vectorises.
        for (std::int32_t i = 0; i < 2 * frames; ++i) {
            out[i] = static_cast<float>(samples[i]) * ToUnitScale;
        }
    } else {
        const std::int32_t first = 2 * pair;
        const bool partner = HasPartner(first, channels);
        for (std::int32_t f = 0; f < frames; ++f) {
            const std::int16_t* frame = samples + static_cast<std::ptrdiff_t>(f) * channels + first;
            out[2 * f] = static_cast<float>(frame[0]) * ToUnitScale;
            out[2 * f + 1] = partner ? static_cast<float>(frame[1]) * ToUnitScale : 0.0f;
        }
    }
    std::fill_n(out + 2 * frames, 2 * FillerFrames, 0.0f);
}

[[gnu::always_inline]] inline void StorePairKernel(const PairFrames& floats, std::int16_t* samples,
                                                   std::int32_t frames, std::int32_t channels,
                                                   std::int32_t pair, const Ramp& gain) noexcept {
    const float* in = floats.data();
    const bool ramping = gain.IsRamping();
    if (channels == 2 && !ramping) {
        const Lanes scale = Splat(gain.Target() * SampleScale);
        const std::int32_t count = 2 * frames;
        std::int32_t i = 0;
        for (; i + 8 <= count; i += 8) {
            const __m128i converted = FourFramesToSamples(in + i, scale);
            std::memcpy(samples + i, &converted, sizeof converted);
        }
        if (i < count) {
            // The last turn reads filler frames but writes only the chunk's own samples.
            const __m128i converted = FourFramesToSamples(in + i, scale);
            std::memcpy(samples + i, &converted, static_cast<std::size_t>(count - i) * sizeof(std::int16_t));
        }
        return;
    }
    const std::int32_t first = 2 * pair;
    const bool partner = HasPartner(first, channels);
    for (std::int32_t f = 0; f < frames; ++f) {
        const float scale = (ramping ? GainAt(gain, f) : gain.Target()) * SampleScale;
        std::int16_t* frame = samples + static_cast<std::ptrdiff_t>(f) * channels + first;
        frame[0] = ToSample(in[2 * f] * scale);
        if (partner) {
            frame[1] = ToSample(in[2 * f + 1] * scale);
        }
    }
}

} // namespace

void LoadPair(const std::int16_t* samples, std::int32_t frames, std::int32_t channels, std::int32_t pair,
              PairFrames& floats) noexcept {
    Dispatch<LoadPairKernel>(samples, frames, channels, pair, floats);
}

void StorePair(const PairFrames& floats, std::int16_t* samples, std::int32_t frames, std::int32_t channels,
               std::int32_t pair, const Ramp& gain) noexcept {
    Dispatch<StorePairKernel>(floats, samples, frames, channels, pair, gain);
}

void StoreGainOnly(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                   const Ramp& gain) noexcept {
    const bool ramping = gain.IsRamping();
    for (std::int32_t f = 0; f < frames; ++f) {
        const float frameGain = ramping ? GainAt(gain, f) : gain.Target();
        std::int16_t* frame = samples + static_cast<std::ptrdiff_t>(f) * channels;
        for (std::int32_t c = MaxChannels; c < channels; ++c) {
            frame[c] = ToSample(static_cast<float>(frame[c]) * frameGain);
        }
    }
}

} // namespace Tralvonic::Voice
