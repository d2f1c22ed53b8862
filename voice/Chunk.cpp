#include "Chunk.h"

#include "Clones.h"

#include <emmintrin.h>

#include <cstddef>

namespace Tralvonic::Voice {

namespace {

constexpr float ToUnitScale = 1.0f / SampleScale;
constexpr float LowestSample = -32768.0f;
constexpr float HighestSample = 32767.0f;

// Two stereo frames into the lanes of two frames, the other lanes 0.
[[gnu::always_inline]] inline void LoadStereoPair(const std::int16_t* samples, Lanes& first,
                                                  Lanes& second) noexcept {
    const __m128i packed = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(samples));
    const __m128i wide = _mm_srai_epi32(_mm_unpacklo_epi16(packed, packed), 16);
    const __m128 both = _mm_mul_ps(_mm_cvtepi32_ps(wide), _mm_set1_ps(ToUnitScale));
    const __m128 zero = _mm_setzero_ps();
    first = reinterpret_cast<Lanes>(_mm_movelh_ps(both, zero));
    second = reinterpret_cast<Lanes>(_mm_movehl_ps(zero, both));
}

// The first two lanes of two frames, through their gains, into two stereo frames.
[[gnu::always_inline]] inline void StoreStereoPair(Lanes first, Lanes second, float firstGain,
                                                   float secondGain, std::int16_t* samples) noexcept {
    const __m128 both = _mm_movelh_ps(reinterpret_cast<__m128>(first), reinterpret_cast<__m128>(second));
    const __m128 gains = _mm_setr_ps(firstGain, firstGain, secondGain, secondGain);
    __m128 scaled = _mm_mul_ps(both, _mm_mul_ps(gains, _mm_set1_ps(SampleScale)));
    // Clamped before the conversion, which turns anything past the 32-bit range into its
    // lowest value; the pack saturates the rest.
    scaled = _mm_min_ps(_mm_max_ps(scaled, _mm_set1_ps(LowestSample)), _mm_set1_ps(HighestSample));
    const __m128i whole = _mm_cvttps_epi32(scaled);
    _mm_storel_epi64(reinterpret_cast<__m128i*>(samples), _mm_packs_epi32(whole, whole));
}

[[gnu::always_inline]] inline std::int16_t ToSample(float value) noexcept {
    const float clamped = std::min(std::max(value, LowestSample), HighestSample);
    return static_cast<std::int16_t>(clamped);
}

// The gain for the frame `offset` frames into the chunk.
[[gnu::always_inline]] inline float GainAt(const Ramp& gain, std::int32_t offset) noexcept {
    return gain.At(gain.Position() + offset + 1);
}

} // namespace

VOICE_KERNEL void LoadChunk(const std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                            Chunk& chunk) noexcept {
    if (channels == 2) {
        std::array<Lanes, ChunkFrames>& lanes = chunk.Groups[0];
        std::int32_t f = 0;
        for (; f + 1 < frames; f += 2) {
            LoadStereoPair(samples + 2 * f, lanes[static_cast<std::size_t>(f)],
                           lanes[static_cast<std::size_t>(f + 1)]);
        }
        if (f < frames) {
            lanes[static_cast<std::size_t>(f)] =
                Lanes{static_cast<float>(samples[2 * f]) * ToUnitScale,
                      static_cast<float>(samples[2 * f + 1]) * ToUnitScale, 0.0f, 0.0f};
        }
        return;
    }
    const std::int32_t groups = GroupsFor(channels);
    for (std::int32_t g = 0; g < groups; ++g) {
        std::array<Lanes, ChunkFrames>& lanes = chunk.Groups[static_cast<std::size_t>(g)];
        const std::int32_t first = g * LaneCount;
        const std::int32_t count = std::min(LaneCount, std::min(channels, MaxChannels) - first);
        for (std::int32_t f = 0; f < frames; ++f) {
            const std::int16_t* frame = samples + static_cast<std::ptrdiff_t>(f) * channels + first;
            Lanes value{};
            for (std::int32_t c = 0; c < count; ++c) {
                value[c] = static_cast<float>(frame[c]) * ToUnitScale;
            }
            lanes[static_cast<std::size_t>(f)] = value;
        }
    }
}

VOICE_KERNEL void StoreChunk(const Chunk& chunk, std::int16_t* samples, std::int32_t frames,
                             std::int32_t channels, const Ramp& gain) noexcept {
    const bool ramping = gain.IsRamping();
    const float steady = gain.Target();
    if (channels == 2) {
        const std::array<Lanes, ChunkFrames>& lanes = chunk.Groups[0];
        std::int32_t f = 0;
        for (; f + 1 < frames; f += 2) {
            const float first = ramping ? GainAt(gain, f) : steady;
            const float second = ramping ? GainAt(gain, f + 1) : steady;
            StoreStereoPair(lanes[static_cast<std::size_t>(f)], lanes[static_cast<std::size_t>(f + 1)], first,
                            second, samples + 2 * f);
        }
        if (f < frames) {
            const float scale = (ramping ? GainAt(gain, f) : steady) * SampleScale;
            const Lanes value = lanes[static_cast<std::size_t>(f)];
            samples[2 * f] = ToSample(value[0] * scale);
            samples[2 * f + 1] = ToSample(value[1] * scale);
        }
        return;
    }
    const std::int32_t laneChannels = std::min(channels, MaxChannels);
    for (std::int32_t f = 0; f < frames; ++f) {
        const float frameGain = ramping ? GainAt(gain, f) : steady;
        const float scale = frameGain * SampleScale;
        std::int16_t* frame = samples + static_cast<std::ptrdiff_t>(f) * channels;
        for (std::int32_t c = 0; c < laneChannels; ++c) {
            const Lanes& value =
                chunk.Groups[static_cast<std::size_t>(c / LaneCount)][static_cast<std::size_t>(f)];
            frame[c] = ToSample(value[c % LaneCount] * scale);
        }
        for (std::int32_t c = laneChannels; c < channels; ++c) {
            frame[c] = ToSample(static_cast<float>(frame[c]) * frameGain);
        }
    }
}

} // namespace Tralvonic::Voice
