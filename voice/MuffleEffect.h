#pragma once
// Muffled voice, as through a wall or from inside a closed car: a fourth-order Butterworth
// low-pass (two cookbook sections) whose cut-off falls log-evenly from 8 kHz at intensity 1 to
// 500 Hz at intensity 10. Intensity 0 bypasses the filter, so only the volume applies.
// Int16 interleaved in and out; intensities outside 0..10 are clamped.

#include "FilterCascade.h"
#include "GainRamp.h"

#include <cstdint>

namespace Tralvonic::Voice {

class MuffleEffect {
public:
    static constexpr std::int32_t MaxIntensity = 10;

    struct Params {
        std::int32_t Intensity = MaxIntensity;
    };

    void SetParams(const Params& params) noexcept;
    void Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels, float volume) noexcept;

private:
    std::int32_t _intensity = -1; // no coefficients yet
    FilterCascade _lowPass;
    GainRamp _gain;
};

} // namespace Tralvonic::Voice
