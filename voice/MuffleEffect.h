#pragma once
// Muffled voice, as through a wall or from inside a closed car: a fourth-order Butterworth
// low-pass (two cookbook sections) whose cut-off falls log-evenly from 8 kHz at intensity 1 to
// 500 Hz at intensity 10. Intensity 0 bypasses the filter, so only the volume applies; a
// changed intensity glides to its cut-off over 20 ms, into and out of the bypass too.
// Int16 interleaved in and out; intensities outside 0..10 are clamped.

#include "BiquadCascade.h"
#include "Chunk.h"
#include "Ramp.h"

#include <array>
#include <cstdint>

namespace Tralvonic::Voice {

class MuffleEffect {
public:
    static constexpr std::int32_t MaxIntensity = 10;

    struct Params {
        std::int32_t Intensity = MaxIntensity;
    };

    MuffleEffect() noexcept { Prepare(SampleRateHz); }

    void Prepare(double sampleRateHz) noexcept;
    void SetParams(const Params& params) noexcept;
    void Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels, float volume) noexcept;
    void Reset() noexcept;

private:
    static constexpr std::size_t Sections = 2;

    bool IsBypassed() const noexcept { return _intensity == 0 && !_coefficients.IsRamping(); }

    double _sampleRateHz = SampleRateHz;
    std::int32_t _intensity = -1; // no coefficients yet
    CascadeCoefficients<Sections> _coefficients;
    std::array<CascadeMemory<Sections>, MaxGroups> _memory{};
    Ramp _gain{GainRampFrames};
};

} // namespace Tralvonic::Voice
