#include "VoiceLine.h"

#include "Dispatch.h"

#include "Shaping.h"

#include <algorithm>
#include <cstring>

namespace Tralvonic::Voice {

namespace {

using Band = StaggeredBand<2>;
using Memory = StaggeredMemory<2>;
// The noise of a chunk, one value a frame, with room for the filler frames.
using Noise = std::array<float, ChunkFrames + FillerFrames>;

// The shaper's settings for one degradation, held for a ramp step.
struct Shape {
    float Degradation;
    float Drive;
    float MakeUp;
    float Limit;
};

Shape ShapeFor(const LineCharacter& character, float degradation) noexcept {
    const float drive = 1.0f + character.MaxExtraDrive * degradation;
    return {degradation, drive, MakeUp(drive), 1.0f - character.MaxClipDrop * degradation};
}

LineNoise::Level NoiseFor(const LineCharacter& character, float degradation) noexcept {
    return {character.MaxHiss * degradation, character.MaxCrackleChance * degradation * degradation,
            character.MaxCracklePeak * degradation};
}

[[gnu::always_inline]] inline void FilterBand(PairFrames& floats, std::int32_t frames, const Band& band,
                                              Memory& memory) noexcept {
    RunStaggered(floats.data(), frames, band, memory, Unchanged{});
}

// Two frames of the pair, and the line noise of each in both of its channels.
[[gnu::always_inline]] inline Lanes TwoFrames(const PairFrames& floats, std::int32_t frame) noexcept {
    Lanes value;
    std::memcpy(&value, floats.data() + 2 * frame, sizeof value);
    return value;
}

[[gnu::always_inline]] inline Lanes TwoNoises(const Noise& noise, std::int32_t frame) noexcept {
    const float first = noise[static_cast<std::size_t>(frame)];
    const float second = noise[static_cast<std::size_t>(frame + 1)];
    return Lanes{first, first, second, second};
}

[[gnu::always_inline]] inline void PutTwoFrames(PairFrames& floats, std::int32_t frame,
                                                Lanes value) noexcept {
    std::memcpy(floats.data() + 2 * frame, &value, sizeof value);
}

// The shapers run as a pass of their own before the band-pass, two frames a turn: frames do
// not depend on one another there, so a frame's long way through the shaper does not hold up
// the filter's recursion. A silent filler frame after an odd count is shaped too and never
// used.
[[gnu::always_inline]] inline void ShapeSoft(PairFrames& floats, std::int32_t frames, const Shape& shape,
                                             const Noise& noise) noexcept {
    const Lanes drive = Splat(shape.Drive);
    const Lanes blend = Splat(shape.Degradation * shape.MakeUp);
    const Lanes keep = Splat(1.0f - shape.Degradation);
    for (std::int32_t f = 0; f < frames; f += 2) {
        const Lanes value = TwoFrames(floats, f);
        PutTwoFrames(floats, f, keep * value + blend * SoftClip(value * drive) + TwoNoises(noise, f));
    }
}

[[gnu::always_inline]] inline void ShapeHard(PairFrames& floats, std::int32_t frames, const Shape& shape,
                                             const Noise& noise) noexcept {
    const Lanes drive = Splat(shape.Drive);
    const Lanes makeUp = Splat(shape.MakeUp);
    const Lanes limit = Splat(shape.Limit);
    for (std::int32_t f = 0; f < frames; f += 2) {
        const Lanes value = TwoFrames(floats, f);
        PutTwoFrames(floats, f, HardClip(value * drive, limit) * makeUp + TwoNoises(noise, f));
    }
}

} // namespace

VoiceLine::VoiceLine(const LineCharacter& character) noexcept
    : _character(character), _noise(character.NoiseSeed) {
    Prepare(SampleRateHz);
}

void VoiceLine::Prepare(double sampleRateHz) noexcept {
    _band = Band::From({Biquad::HighPass(_character.LowCutHz, ButterworthFourthOrderQ1, sampleRateHz),
                        Biquad::HighPass(_character.LowCutHz, ButterworthFourthOrderQ2, sampleRateHz)},
                       {Biquad::LowPass(_character.HighCutHz, ButterworthFourthOrderQ1, sampleRateHz),
                        Biquad::LowPass(_character.HighCutHz, ButterworthFourthOrderQ2, sampleRateHz)});
    Reset();
}

void VoiceLine::SetParams(const Params& params) noexcept {
    const float degradation = params.Degradation > 0.0f ? std::min(params.Degradation, 1.0f) : 0.0f;
    _degradation.SetTarget(degradation);
}

void VoiceLine::Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                        float volume) noexcept {
    ProcessInChunks(
        samples, frames, channels, _gain, volume, [this] { return _degradation.FramesLeftInStep(); },
        [this](Chunk& chunk) { Render(chunk); });
}

void VoiceLine::Render(Chunk& chunk) noexcept {
    const std::int32_t frames = chunk.Frames();
    const float degradation = _degradation.Value();
    _degradation.Advance(frames);
    if (degradation == 0.0f) {
        chunk.ForEachPair([this, frames](PairFrames& floats, std::int32_t pair) {
            Dispatch<FilterBand>(floats, frames, _band, _memory[static_cast<std::size_t>(pair)]);
        });
        return;
    }
    const Shape shape = ShapeFor(_character, degradation);
    Noise noise;
    _noise.Fill(noise.data(), frames, NoiseFor(_character, degradation));
    std::fill_n(noise.begin() + frames, FillerFrames, 0.0f);
    chunk.ForEachPair([&](PairFrames& floats, std::int32_t pair) {
        if (_character.Shaper == LineShaper::Soft) {
            Dispatch<ShapeSoft>(floats, frames, shape, noise);
        } else {
            Dispatch<ShapeHard>(floats, frames, shape, noise);
        }
        Dispatch<FilterBand>(floats, frames, _band, _memory[static_cast<std::size_t>(pair)]);
    });
}

void VoiceLine::Reset() noexcept {
    _memory = {};
    _noise = LineNoise(_character.NoiseSeed);
}

} // namespace Tralvonic::Voice
