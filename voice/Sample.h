#pragma once
// Sample format shared by every effect: the host's signed 16-bit interleaved samples, worked
// on as floats scaled to -1..1 and brought back once, saturating, at the end of a block.

#include <cstdint>

namespace Tralvonic::Voice {

// The host mixes and captures voice at 48 kHz; the effects are designed for that rate only.
constexpr double SampleRateHz = 48000.0;

// Channels with their own filter memory; further channels of a wider buffer get the gain only.
constexpr std::int32_t MaxChannels = 8;

constexpr float SampleScale = 32768.0f;

inline float ToUnit(std::int16_t sample) noexcept {
    return static_cast<float>(sample) * (1.0f / SampleScale);
}

// Saturates to the 16-bit range and truncates toward zero; a NaN becomes silence.
inline std::int16_t ToSample(float unit) noexcept {
    const float scaled = unit * SampleScale;
    if (scaled >= 32767.0f) {
        return 32767;
    }
    if (scaled <= -32768.0f) {
        return -32768;
    }
    if (scaled != scaled) {
        return 0;
    }
    return static_cast<std::int16_t>(scaled);
}

} // namespace Tralvonic::Voice
