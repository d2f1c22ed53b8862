#pragma once
// The loop every effect shares: each sample of an interleaved 16-bit block goes through the
// effect's per-sample shaping for its channel, then through the output gain, and is written
// back saturated. Channels past MaxChannels have no filter memory and get the gain only.

#include "GainRamp.h"
#include "Sample.h"

#include <cstdint>

namespace Tralvonic::Voice {

template <typename Shape>
void ProcessBlock(std::int16_t* samples, std::int32_t frames, std::int32_t channels, GainRamp& gain,
                  float volume, Shape&& shape) noexcept {
    gain.Start(volume, frames);
    std::int16_t* frame = samples;
    for (std::int32_t f = 0; f < frames; ++f, frame += channels) {
        const float frameGain = gain.Next();
        for (std::int32_t c = 0; c < channels; ++c) {
            const float input = ToUnit(frame[c]);
            const float output = c < MaxChannels ? shape(input, c) : input;
            frame[c] = ToSample(output * frameGain);
        }
    }
    gain.Finish();
}

} // namespace Tralvonic::Voice
