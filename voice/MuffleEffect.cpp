#include "MuffleEffect.h"

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

[[gnu::target_clones("arch=x86-64-v3", "default")]] void Render(std::array<Lanes, ChunkFrames>& lanes,
                                                                std::int32_t frames,
                                                                const BiquadChain<2>& chain,
                                                                CascadeMemory<2>& memory) noexcept {
    CascadeRun<2> lowPass(chain, memory);
    for (std::int32_t f = 0; f < frames; ++f) {
        Lanes& frame = lanes[static_cast<std::size_t>(f)];
        frame = lowPass.Step(frame);
    }
    lowPass.Save(memory);
}

} // namespace

void MuffleEffect::Prepare(double sampleRateHz) noexcept {
    _sampleRateHz = sampleRateHz;
    _intensity = -1;
    Reset();
}

void MuffleEffect::SetParams(const Params& params) noexcept {
    const std::int32_t intensity = std::clamp(params.Intensity, 0, MaxIntensity);
    if (intensity == _intensity) {
        return;
    }
    if (IsBypassed()) {
        // A muffle after the bypass starts from silence rather than from a voice long gone.
        Reset();
    }
    _intensity = intensity;
    if (intensity == 0) {
        _coefficients.SetTarget({Biquad::Identity(), Biquad::Identity()});
        return;
    }
    const double cutoffHz = CutoffHz(intensity);
    _coefficients.SetTarget({Biquad::LowPass(cutoffHz, ButterworthFourthOrderQ1, _sampleRateHz),
                             Biquad::LowPass(cutoffHz, ButterworthFourthOrderQ2, _sampleRateHz)});
}

void MuffleEffect::Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                           float volume) noexcept {
    ProcessInChunks(
        samples, frames, channels, _gain, volume, [this] { return _coefficients.FramesLeftInStep(); },
        [this](Chunk& chunk, std::int32_t count, std::int32_t groups) {
            if (!IsBypassed()) {
                const BiquadChain<Sections> chain = _coefficients.Current();
                for (std::int32_t g = 0; g < groups; ++g) {
                    Render(chunk.Groups[static_cast<std::size_t>(g)], count, chain,
                           _memory[static_cast<std::size_t>(g)]);
                }
            }
            _coefficients.Advance(count);
        });
}

void MuffleEffect::Reset() noexcept {
    _memory = {};
}

} // namespace Tralvonic::Voice
