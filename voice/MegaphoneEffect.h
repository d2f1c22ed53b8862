#pragma once
// A voice through a megaphone: the horn's band (second-order Butterworth high-pass at 500 Hz
// before, low-pass at 4 kHz after, cookbook sections) around a soft clipper (a rational tanh)
// driven three times, which makes the voice louder and gritty. At speaking level the clipper
// only rounds the peaks; a shout is squashed smoothly below full scale, never cut flat.
// Int16 interleaved in and out; no parameters besides the volume.

#include "Chunk.h"
#include "Ramp.h"
#include "StaggeredBand.h"

#include <array>
#include <cstdint>

namespace Tralvonic::Voice {

class MegaphoneEffect {
public:
    MegaphoneEffect() noexcept { Prepare(SampleRateHz); }

    void Prepare(double sampleRateHz) noexcept;
    void Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels, float volume) noexcept;
    void Reset() noexcept;

private:
    // The horn's high-pass is the first stage, the speaker's low-pass the second.
    StaggeredBand<1> _band{};
    std::array<StaggeredMemory<1>, MaxPairs> _memory{};
    Ramp _gain{GainRampFrames};
};

} // namespace Tralvonic::Voice
