#pragma once
// Muffled voice, as through a wall or from inside a closed car: a fourth-order Butterworth
// low-pass (two cookbook sections) whose cut-off falls log-evenly from 8 kHz at intensity 1 to
// 500 Hz at intensity 10. Intensity 0 bypasses the filter, so only the volume applies. A
// changed intensity sweeps the cut-off to its new place over 20 ms, recomputed every 32
// frames; into and out of the bypass the filtered voice is cross-faded with the plain one.
// Int16 interleaved in and out; intensities outside 0..10 are clamped.

#include "Chunk.h"
#include "Ramp.h"
#include "StaggeredBand.h"

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
    static constexpr std::int32_t RampSteps = 30;

    bool IsBypassed() const noexcept { return _wet.Value() == 0.0f && !_wet.IsRamping(); }
    void Render(Chunk& chunk) noexcept;

    double _sampleRateHz = SampleRateHz;
    std::int32_t _intensity = -1; // nothing set yet
    // The cut-off as log2 of hertz, so that a sweep moves evenly in pitch.
    SteppedRamp _cutoff{RampSteps};
    // 1 for the filtered voice only, 0 for the plain voice only.
    SteppedRamp _wet{RampSteps};
    float _bandCutoff = 0.0f; // the cut-off that _band was computed for
    // The two low-pass sections, one a stage.
    StaggeredBand<1> _band{};
    std::array<StaggeredMemory<1>, MaxPairs> _memory{};
    Ramp _gain{GainRampFrames};
};

} // namespace Tralvonic::Voice
