#pragma once
// A voice through a megaphone: the horn's band (second-order Butterworth high-pass at 500 Hz
// before, low-pass at 4 kHz after, cookbook sections) around a tanh soft clipper driven four
// times, which makes the voice louder and gritty without hard clipping. Int16 interleaved in
// and out; no parameters besides the volume.

#include "FilterCascade.h"
#include "GainRamp.h"

#include <cstdint>

namespace Tralvonic::Voice {

class MegaphoneEffect {
public:
    MegaphoneEffect() noexcept;

    void Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels, float volume) noexcept;

private:
    FilterCascade _horn;
    FilterCascade _speaker;
    GainRamp _gain;
};

} // namespace Tralvonic::Voice
