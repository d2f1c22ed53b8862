#include "VoiceLine.h"

#include "Clones.h"

#include "Shaping.h"

#include <algorithm>

namespace Tralvonic::Voice {

namespace {

using Lines = std::array<Lanes, ChunkFrames>;
using Band = ButterworthBand<2, 2>;
using Memory = BandMemory<Band::Sections>;
using Noise = std::array<float, ChunkFrames>;

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

VOICE_KERNEL void FilterBand(Lines& lanes, std::int32_t frames, const Band& band, Memory& memory) noexcept {
    ButterworthRun<2, 2> bandPass(band, memory);
    // Two frames a turn, so that the history moves from register to register by renaming.
#pragma GCC unroll 2
    for (std::int32_t f = 0; f < frames; ++f) {
        Lanes& frame = lanes[static_cast<std::size_t>(f)];
        frame = bandPass.Step(frame);
    }
    bandPass.Save(memory);
}

// The shapers run as a pass of their own before the band-pass: frames do not depend on one
// another there, so a frame's long way through the shaper no longer holds up the filter's.
VOICE_KERNEL void ShapeSoft(Lines& lanes, std::int32_t frames, const Shape& shape,
                            const Noise& noise) noexcept {
    const Lanes drive = Splat(shape.Drive);
    const Lanes blend = Splat(shape.Degradation * shape.MakeUp);
    const Lanes keep = Splat(1.0f - shape.Degradation);
    for (std::int32_t f = 0; f < frames; ++f) {
        Lanes& frame = lanes[static_cast<std::size_t>(f)];
        frame = keep * frame + blend * SoftClip(frame * drive) + noise[static_cast<std::size_t>(f)];
    }
}

VOICE_KERNEL void ShapeHard(Lines& lanes, std::int32_t frames, const Shape& shape,
                            const Noise& noise) noexcept {
    const Lanes drive = Splat(shape.Drive);
    const Lanes makeUp = Splat(shape.MakeUp);
    const Lanes limit = Splat(shape.Limit);
    for (std::int32_t f = 0; f < frames; ++f) {
        Lanes& frame = lanes[static_cast<std::size_t>(f)];
        frame = HardClip(frame * drive, limit) * makeUp + noise[static_cast<std::size_t>(f)];
    }
}

} // namespace

VoiceLine::VoiceLine(const LineCharacter& character) noexcept
    : _character(character), _noise(character.NoiseSeed) {
    Prepare(SampleRateHz);
}

void VoiceLine::Prepare(double sampleRateHz) noexcept {
    _band = Band::From({Biquad::HighPass(_character.LowCutHz, ButterworthFourthOrderQ1, sampleRateHz),
                        Biquad::HighPass(_character.LowCutHz, ButterworthFourthOrderQ2, sampleRateHz),
                        Biquad::LowPass(_character.HighCutHz, ButterworthFourthOrderQ1, sampleRateHz),
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
        [this](Chunk& chunk, std::int32_t count, std::int32_t groups) { Render(chunk, count, groups); });
}

void VoiceLine::Render(Chunk& chunk, std::int32_t frames, std::int32_t groups) noexcept {
    const float degradation = _degradation.Value();
    _degradation.Advance(frames);
    if (degradation == 0.0f) {
        for (std::int32_t g = 0; g < groups; ++g) {
            FilterBand(chunk.Groups[static_cast<std::size_t>(g)], frames, _band,
                       _memory[static_cast<std::size_t>(g)]);
        }
        return;
    }
    const Shape shape = ShapeFor(_character, degradation);
    Noise noise;
    _noise.Fill(noise.data(), frames, NoiseFor(_character, degradation));
    for (std::int32_t g = 0; g < groups; ++g) {
        Lines& lanes = chunk.Groups[static_cast<std::size_t>(g)];
        Memory& memory = _memory[static_cast<std::size_t>(g)];
        if (_character.Shaper == LineShaper::Soft) {
            ShapeSoft(lanes, frames, shape, noise);
        } else {
            ShapeHard(lanes, frames, shape, noise);
        }
        FilterBand(lanes, frames, _band, memory);
    }
}

void VoiceLine::Reset() noexcept {
    _memory = {};
    _noise = LineNoise(_character.NoiseSeed);
}

} // namespace Tralvonic::Voice
