#include "MuffleEffect.h"

#include "Clones.h"

#include <algorithm>
#include <cmath>

namespace Tralvonic::Voice {

namespace {

using Lines = std::array<Lanes, ChunkFrames>;

constexpr double LightestCutoffHz = 8000.0;
constexpr double HeaviestCutoffHz = 500.0;

float Log2CutoffHz(std::int32_t intensity) noexcept {
    const double position = static_cast<double>(intensity - 1) / (MuffleEffect::MaxIntensity - 1);
    return static_cast<float>(std::log2(LightestCutoffHz) +
                              position * (std::log2(HeaviestCutoffHz) - std::log2(LightestCutoffHz)));
}

VOICE_KERNEL void RenderFiltered(Lines& lanes, std::int32_t frames, const ButterworthBand<0, 2>& band,
                                 BandMemory<2>& memory) noexcept {
    ButterworthRun<0, 2> lowPass(band, memory);
    // Two frames a turn, so that the history moves from register to register by renaming.
#pragma GCC unroll 2
    for (std::int32_t f = 0; f < frames; ++f) {
        Lanes& frame = lanes[static_cast<std::size_t>(f)];
        frame = lowPass.Step(frame);
    }
    lowPass.Save(memory);
}

VOICE_KERNEL void RenderBlended(Lines& lanes, std::int32_t frames, const ButterworthBand<0, 2>& band,
                                BandMemory<2>& memory, float wet) noexcept {
    ButterworthRun<0, 2> lowPass(band, memory);
    const Lanes wetLanes = Splat(wet);
    // Two frames a turn, so that the history moves from register to register by renaming.
#pragma GCC unroll 2
    for (std::int32_t f = 0; f < frames; ++f) {
        Lanes& frame = lanes[static_cast<std::size_t>(f)];
        frame += wetLanes * (lowPass.Step(frame) - frame);
    }
    lowPass.Save(memory);
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
        [this](Chunk& chunk, std::int32_t count, std::int32_t groups) { Render(chunk, count, groups); });
}

void MuffleEffect::Render(Chunk& chunk, std::int32_t frames, std::int32_t groups) noexcept {
    if (!IsBypassed()) {
        const float cutoff = _cutoff.Value();
        if (cutoff != _bandCutoff) {
            _bandCutoff = cutoff;
            const double hz = std::exp2(static_cast<double>(cutoff));
            _band = ButterworthBand<0, Sections>::From(
                {Biquad::LowPass(hz, ButterworthFourthOrderQ1, _sampleRateHz),
                 Biquad::LowPass(hz, ButterworthFourthOrderQ2, _sampleRateHz)});
        }
        const float wet = _wet.Value();
        for (std::int32_t g = 0; g < groups; ++g) {
            Lines& lanes = chunk.Groups[static_cast<std::size_t>(g)];
            BandMemory<Sections>& memory = _memory[static_cast<std::size_t>(g)];
            if (wet == 1.0f) {
                RenderFiltered(lanes, frames, _band, memory);
            } else {
                RenderBlended(lanes, frames, _band, memory, wet);
            }
        }
    }
    _cutoff.Advance(frames);
    _wet.Advance(frames);
}

void MuffleEffect::Reset() noexcept {
    _memory = {};
}

} // namespace Tralvonic::Voice
