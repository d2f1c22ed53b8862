#include "MegaphoneEffect.h"

#include "Clones.h"

#include "Shaping.h"

namespace Tralvonic::Voice {

namespace {

constexpr double LowCutHz = 500.0;
constexpr double HighCutHz = 4000.0;
constexpr float Drive = 3.0f;
// Peak after the clipper; leaves room for the low-pass's overshoot.
constexpr float Ceiling = 0.85f;

VOICE_KERNEL void Render(std::array<Lanes, ChunkFrames>& lanes, std::int32_t frames,
                         const ButterworthBand<1, 0>& hornBand, BandMemory<1>& hornMemory,
                         const ButterworthBand<0, 1>& speakerBand, BandMemory<1>& speakerMemory) noexcept {
    ButterworthRun<1, 0> horn(hornBand, hornMemory);
    ButterworthRun<0, 1> speaker(speakerBand, speakerMemory);
    // Two frames a turn, so that the history moves from register to register by renaming.
#pragma GCC unroll 2
    for (std::int32_t f = 0; f < frames; ++f) {
        Lanes& frame = lanes[static_cast<std::size_t>(f)];
        frame = speaker.Step(SoftClip(horn.Step(frame)));
    }
    horn.Save(hornMemory);
    speaker.Save(speakerMemory);
}

} // namespace

void MegaphoneEffect::Prepare(double sampleRateHz) noexcept {
    _horn = ButterworthBand<1, 0>::From({Biquad::HighPass(LowCutHz, ButterworthSecondOrderQ, sampleRateHz)});
    _speaker =
        ButterworthBand<0, 1>::From({Biquad::LowPass(HighCutHz, ButterworthSecondOrderQ, sampleRateHz)});
    // The drive and the ceiling ride on the bands' own gains, saving two multiplies a frame.
    _horn.Gain *= Drive;
    _speaker.Gain *= Ceiling;
    Reset();
}

void MegaphoneEffect::Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                              float volume) noexcept {
    ProcessInChunks(
        samples, frames, channels, _gain, volume, [] { return ChunkFrames; },
        [this](Chunk& chunk, std::int32_t count, std::int32_t groups) {
            for (std::int32_t g = 0; g < groups; ++g) {
                const auto group = static_cast<std::size_t>(g);
                Render(chunk.Groups[group], count, _horn, _hornMemory[group], _speaker,
                       _speakerMemory[group]);
            }
        });
}

void MegaphoneEffect::Reset() noexcept {
    _hornMemory = {};
    _speakerMemory = {};
}

} // namespace Tralvonic::Voice
