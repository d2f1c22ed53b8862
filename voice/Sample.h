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

} // namespace Tralvonic::Voice
