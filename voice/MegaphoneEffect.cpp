#include "MegaphoneEffect.h"

#include "Block.h"

#include <cmath>

namespace Tralvonic::Voice {

namespace {

constexpr double LowCutHz = 500.0;
constexpr double HighCutHz = 4000.0;
constexpr float Drive = 4.0f;
// Peak after the clipper; leaves room for the low-pass's overshoot.
constexpr float Ceiling = 0.85f;

} // namespace

MegaphoneEffect::MegaphoneEffect() noexcept {
    _horn.SetSections({BiquadCoefficients::HighPass(LowCutHz, ButterworthSecondOrderQ)});
    _speaker.SetSections({BiquadCoefficients::LowPass(HighCutHz, ButterworthSecondOrderQ)});
}

void MegaphoneEffect::Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                              float volume) noexcept {
    ProcessBlock(samples, frames, channels, _gain, volume, [this](float input, std::int32_t channel) {
        const float driven = Ceiling * std::tanh(Drive * _horn.Process(input, channel));
        return _speaker.Process(driven, channel);
    });
    _horn.FlushDenormals();
    _speaker.FlushDenormals();
}

} // namespace Tralvonic::Voice
