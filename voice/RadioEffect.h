#pragma once
// A voice over a hand-held radio: a narrow band-pass (fourth-order Butterworth high-pass at
// 400 Hz and low-pass at 2800 Hz, cookbook sections) behind an overdriven hard clipper (its
// loudness made up by the drive's root), hiss and random crackle, all three growing with the
// distortion (0 clear .. 18 at the end of the range). At 0 only the band-pass applies. Int16
// interleaved in and out; distortions outside 0..18 are clamped (towers and relays can add up
// past the end of a range).

#include "FilterCascade.h"
#include "GainRamp.h"
#include "NoiseSource.h"

#include <cstdint>

namespace Tralvonic::Voice {

class RadioEffect {
public:
    static constexpr float MaxDistortion = 18.0f;

    struct Params {
        float Distortion = 0.0f;
    };

    RadioEffect() noexcept;

    void SetParams(const Params& params) noexcept;
    void Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels, float volume) noexcept;

private:
    float _amount = 0.0f; // distortion as 0..1
    FilterCascade _bandPass;
    NoiseSource _noise;
    GainRamp _gain;
};

} // namespace Tralvonic::Voice
