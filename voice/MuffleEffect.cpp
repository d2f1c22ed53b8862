#include "MuffleEffect.h"

#include "Block.h"

#include <algorithm>
#include <cmath>

namespace Tralvonic::Voice {

namespace {

constexpr double LightestCutoffHz = 8000.0;
constexpr double HeaviestCutoffHz = 500.0;

double CutoffHz(std::int32_t intensity) noexcept {
    const double position = static_cast<double>(intensity - 1) / (MuffleEffect::MaxIntensity - 1);
    return LightestCutoffHz * std::pow(HeaviestCutoffHz / LightestCutoffHz, position);
}

} // namespace

void MuffleEffect::SetParams(const Params& params) noexcept {
    const std::int32_t intensity = std::clamp(params.Intensity, 0, MaxIntensity);
    if (intensity == _intensity) {
        return;
    }
    _intensity = intensity;
    if (intensity == 0) {
        // A later muffle starts from silence rather than from a voice long gone.
        _lowPass.Reset();
        return;
    }
    const double cutoffHz = CutoffHz(intensity);
    _lowPass.SetSections({BiquadCoefficients::LowPass(cutoffHz, ButterworthFourthOrderQ1),
                          BiquadCoefficients::LowPass(cutoffHz, ButterworthFourthOrderQ2)});
}

void MuffleEffect::Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                           float volume) noexcept {
    if (_intensity <= 0) {
        ProcessBlock(samples, frames, channels, _gain, volume,
                     [](float input, std::int32_t) { return input; });
        return;
    }
    ProcessBlock(samples, frames, channels, _gain, volume,
                 [this](float input, std::int32_t channel) { return _lowPass.Process(input, channel); });
    _lowPass.FlushDenormals();
}

} // namespace Tralvonic::Voice
