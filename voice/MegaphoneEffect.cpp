#include "MegaphoneEffect.h"

#include "Dispatch.h"

#include "Shaping.h"

namespace Tralvonic::Voice {

namespace {

constexpr double LowCutHz = 500.0;
constexpr double HighCutHz = 4000.0;
constexpr float Drive = 3.0f;
// Peak after the clipper; leaves room for the low-pass's overshoot.
constexpr float Ceiling = 0.85f;

// The clipper sits between the stages, on the horn's output before the speaker takes it.
struct Overdrive {
    [[gnu::always_inline]] Lanes operator()(Lanes value) const noexcept { return SoftClip(value); }
};

[[gnu::always_inline]] inline void Render(PairFrames& floats, std::int32_t frames,
                                          const StaggeredBand<1>& band, StaggeredMemory<1>& memory) noexcept {
    RunStaggered(floats.data(), frames, band, memory, Overdrive{});
}

} // namespace

void MegaphoneEffect::Prepare(double sampleRateHz) noexcept {
    _band = StaggeredBand<1>::From({Biquad::HighPass(LowCutHz, ButterworthSecondOrderQ, sampleRateHz)},
                                   {Biquad::LowPass(HighCutHz, ButterworthSecondOrderQ, sampleRateHz)});
    // The drive and the ceiling ride on the stages' own gains, saving two multiplies a frame.
    _band.Gain *= Lanes{Drive, Drive, Ceiling, Ceiling};
    Reset();
}

void MegaphoneEffect::Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                              float volume) noexcept {
    ProcessInChunks(
        samples, frames, channels, _gain, volume, [] { return ChunkFrames; },
        [this](Chunk& chunk) {
            chunk.ForEachPair([this, &chunk](PairFrames& floats, std::int32_t pair) {
                Dispatch<Render>(floats, chunk.Frames(), _band, _memory[static_cast<std::size_t>(pair)]);
            });
        });
}

void MegaphoneEffect::Reset() noexcept {
    _memory = {};
}

} // namespace Tralvonic::Voice
