#pragma once
// The radio microphone clicks, synthesised: a short key-up chirp when a transmission starts
// and a squelch tail when it ends, for the user's own radio and for the primary and the
// secondary channel of others (the secondary a fourth lower, so the two can be told apart).
// Mono, 48 kHz, signed 16-bit, peaks kept well below full scale; the same every build.

#include <cstdint>
#include <string>
#include <vector>

namespace Tralvonic::Tools {

constexpr int ClickSampleRate = 48000;

struct ClickSound {
    std::string Name; // the file name without ".wav"
    std::vector<std::int16_t> Samples;
};

std::vector<ClickSound> SynthesizeMicClicks();

// A canonical 44-byte RIFF/WAVE header (PCM, mono, 16-bit) and the samples, little-endian.
std::vector<std::uint8_t> EncodeWave(const std::vector<std::int16_t>& samples, int sampleRate);

} // namespace Tralvonic::Tools
