#pragma once
// Amount mapping and the waveshapers the effects share, on floats scaled to -1..1.

#include "Lanes.h"

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

// The overdrive stages scale their output down by the square root of the drive, so that a
// voice gets rougher with more drive without getting much louder: quiet parts come up by that
// root, loud parts are squashed down by it.
inline float MakeUp(float drive) noexcept {
    return 1.0f / std::sqrt(drive);
}

// Soft saturation: the (3, 2) Pade approximant of tanh, x (27 + x^2) / (27 + 9 x^2), on the
// input held to -3..3. It meets +-1 there with zero slope, so the curve rounds off into the
// limit without a kink, and it costs a division instead of a call to tanhf. Within 2.5 % of
// tanh everywhere.
[[gnu::always_inline]] inline Lanes SoftClip(Lanes input) noexcept {
    const Lanes x = Clamp(input, Splat(-3.0f), Splat(3.0f));
    const Lanes square = x * x;
    return x * (27.0f + square) / (27.0f + 9.0f * square);
}

// Hard clipping at +-limit.
[[gnu::always_inline]] inline Lanes HardClip(Lanes input, Lanes limit) noexcept {
    return Clamp(input, -limit, limit);
}

} // namespace Tralvonic::Voice
