#pragma once
// A voice over a hand-held radio: a radio line (300 Hz to 3400 Hz, an overdriven hard
// clipper, hiss and random crackle; see VoiceLine.h) that degrades with the distortion, from
// 0 (clear) to 18 (at the end of a range). Distortions outside 0..18 are clamped (towers and
// relays can add up past the end of a range); one that is not a number counts as clear.

#include "VoiceLine.h"

#include <cstdint>

namespace Tralvonic::Voice {

class RadioEffect {
public:
    static constexpr float MaxDistortion = 18.0f;

    struct Params {
        float Distortion = 0.0f;
    };

    RadioEffect() noexcept;

    void Prepare(double sampleRateHz) noexcept { _line.Prepare(sampleRateHz); }
    void SetParams(const Params& params) noexcept;
    void Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels, float volume) noexcept {
        _line.Process(samples, frames, channels, volume);
    }
    void Reset() noexcept { _line.Reset(); }

private:
    VoiceLine _line;
};

} // namespace Tralvonic::Voice
