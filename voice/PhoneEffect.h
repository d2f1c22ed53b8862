#pragma once
// A voice over a phone line: a telephone band-pass (fourth-order Butterworth high-pass at
// 300 Hz and low-pass at 3400 Hz, cookbook sections) with saturation and line hiss in front of
// it, both growing with the distortion (0 clean .. 20 worst). The distortion blends the voice
// with a tanh saturator of rising drive (its loudness made up by the drive's root); the hiss
// is white noise; the filter band-limits both like the voice. Int16 interleaved in and out;
// distortions outside 0..20 are clamped.

#include "FilterCascade.h"
#include "GainRamp.h"
#include "NoiseSource.h"

#include <cstdint>

namespace Tralvonic::Voice {

class PhoneEffect {
public:
    static constexpr float MaxDistortion = 20.0f;

    struct Params {
        float Distortion = 0.0f;
    };

    PhoneEffect() noexcept;

    void SetParams(const Params& params) noexcept;
    void Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels, float volume) noexcept;

private:
    float _amount = 0.0f; // distortion as 0..1
    FilterCascade _bandPass;
    NoiseSource _noise;
    GainRamp _gain;
};

} // namespace Tralvonic::Voice
