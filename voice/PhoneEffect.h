#pragma once
// A voice over a phone call: a telephone line (300 Hz to 3400 Hz, soft saturation and hiss;
// see VoiceLine.h) that degrades as the signal strength falls, from 20 (full signal, clean)
// to 0 (no signal, worst). Strengths outside 0..20 are clamped; one that is not a number
// counts as full signal, as nothing is known to be wrong with the line.

#include "VoiceLine.h"

#include <cstdint>

namespace Tralvonic::Voice {

class PhoneEffect {
public:
    static constexpr float FullSignal = 20.0f;

    struct Params {
        float SignalStrength = FullSignal;
    };

    PhoneEffect() noexcept;

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
