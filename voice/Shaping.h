#pragma once
// Amount mapping and the waveshapers the effects share, on floats scaled to -1..1.

#include <algorithm>
#include <cmath>

namespace Tralvonic::Voice {

// A setting as 0..1 of its range; anything not a number counts as 0.
inline float Amount(float value, float max) noexcept {
    if (!(value > 0.0f)) {
        return 0.0f;
    }
    return std::min(value, max) / max;
}

// The overdrive stages below scale their output down by the square root of the drive, so that a
// voice gets rougher with more drive without getting much louder: quiet parts come up by that
// root, loud parts are squashed down by it.
inline float MakeUp(float drive) noexcept {
    return 1.0f / std::sqrt(drive);
}

// Soft saturation: tanh(drive x), made up.
inline float SoftOverdrive(float input, float drive, float makeUp) noexcept {
    return std::tanh(input * drive) * makeUp;
}

// Hard clipping of the driven input at +-limit, made up.
inline float HardOverdrive(float input, float drive, float limit, float makeUp) noexcept {
    return std::clamp(input * drive, -limit, limit) * makeUp;
}

} // namespace Tralvonic::Voice
