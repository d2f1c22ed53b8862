#include "MuffleEffect.h"

#include "Dispatch.h"

#include <algorithm>
#include <cmath>

namespace Tralvonic::Voice {

namespace {

constexpr double LightestCutoffHz = 8000.0;
constexpr double HeaviestCutoffHz = 500.0;

float Log2CutoffHz(std::int32_t intensity) noexcept {
    const double position = static_cast<double>(intensity - 1) / (MuffleEffect::MaxIntensity - 1);
    return static_cast<float>(std::log2(LightestCutoffHz) +
                              position * (std::log2(HeaviestCutoffHz) - std::log2(LightestCutoffHz)));
}

[[gnu::always_inline]] inline void RenderFiltered(PairFrames& floats, std::int32_t frames,
                                                  const StaggeredBand<1>& band,
                                                  StaggeredMemory<1>& memory) noexcept {
    RunStaggered(floats.data(), frames, band, memory, Unchanged{});
}

[[gnu::always_inline]] inline void RenderBlended(PairFrames& floats, std::int32_t frames,
                                                 const StaggeredBand<1>& band, StaggeredMemory<1>& memory,
                                                 float wet) noexcept {
    PairFrames dry;
    const auto count = static_cast<std::size_t>(2 * frames);
    std::copy_n(floats.begin(), count, dry.begin());
    RunStaggered(floats.data(), frames, band, memory, Unchanged{});
    for (std::size_t i = 0; i < count; ++i) {
        floats[i] = dry[i] + wet * (floats[i] - dry[i]);
    }
}

} // namespace

void MuffleEffect::Prepare(double sampleRateHz) noexcept {
    _sampleRateHz = sampleRateHz;
    _intensity = -1;
    _bandCutoff = 0.0f;
    Reset();
}

void MuffleEffect::SetParams(const Params& params) noexcept {
    const std::int32_t intensity = std::clamp(params.Intensity, 0, MaxIntensity);
    if (intensity == _intensity) {
        return;
    }
    _intensity = intensity;
    if (intensity == 0) {
        _wet.SetTarget(0.0f);
        return;
    }
    if (IsBypassed()) {
        // Out of the bypass the filter starts at its cut-off and from silence, not from a
        // voice long gone, and fades in.
        Reset();
        _cutoff.Jump(Log2CutoffHz(intensity));
    } else {
        _cutoff.SetTarget(Log2CutoffHz(intensity));
    }
    _wet.SetTarget(1.0f);
}

void MuffleEffect::Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                           float volume) noexcept {
    ProcessInChunks(
        samples, frames, channels, _gain, volume,
        [this] { return std::min(_cutoff.FramesLeftInStep(), _wet.FramesLeftInStep()); },
        [this](Chunk& chunk) { Render(chunk); });
}

void MuffleEffect::Render(Chunk& chunk) noexcept {
    const std::int32_t frames = chunk.Frames();
    if (IsBypassed()) {
        chunk.ForEachPair([](PairFrames&, std::int32_t) {});
    } else {
        const float cutoff = _cutoff.Value();
        if (cutoff != _bandCutoff) {
            _bandCutoff = cutoff;
            const double hz = std::exp2(static_cast<double>(cutoff));
            _band = StaggeredBand<1>::From({Biquad::LowPass(hz, ButterworthFourthOrderQ1, _sampleRateHz)},
                                           {Biquad::LowPass(hz, ButterworthFourthOrderQ2, _sampleRateHz)});
        }
        const float wet = _wet.Value();
        if (wet == 1.0f) {
            chunk.ForEachPair([this, frames](PairFrames& floats, std::int32_t pair) {
                Dispatch<RenderFiltered>(floats, frames, _band, _memory[static_cast<std::size_t>(pair)]);
            });
        } else {
            chunk.ForEachPair([this, frames, wet](PairFrames& floats, std::int32_t pair) {
                Dispatch<RenderBlended>(floats, frames, _band, _memory[static_cast<std::size_t>(pair)], wet);
            });
        }
    }
    _cutoff.Advance(frames);
    _wet.Advance(frames);
}

void MuffleEffect::Reset() noexcept {
    _memory = {};
}

} // namespace Tralvonic::Voice
