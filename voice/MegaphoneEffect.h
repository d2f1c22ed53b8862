#pragma once
// A voice through a megaphone: the horn's band (second-order Butterworth high-pass at 500 Hz
// before, low-pass at 4 kHz after, cookbook sections) around a soft clipper (a rational tanh)
// driven three times, which makes the voice louder and gritty. At speaking level the clipper
// only rounds the peaks; a shout is squashed smoothly below full scale, never cut flat.
// Int16 interleaved in and out; no parameters besides the volume.

#include "ButterworthBand.h"
#include "Chunk.h"
#include "Ramp.h"

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
    ButterworthBand<1, 0> _horn{};
    ButterworthBand<0, 1> _speaker{};
    std::array<BandMemory<1>, MaxGroups> _hornMemory{};
    std::array<BandMemory<1>, MaxGroups> _speakerMemory{};
    Ramp _gain{GainRampFrames};
};

} // namespace Tralvonic::Voice
