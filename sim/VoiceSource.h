#pragma once
// What a simulated client says while he talks: a generated tone or the samples of a WAV
// file, looped, as 48 kHz mono blocks. Each source keeps its own read position, so a voice
// continues where it left off from one block to the next.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Tralvonic::Sim {

class VoiceSource {
public:
    virtual ~VoiceSource() = default;
    // The next `frames` samples of this voice.
    virtual std::vector<short> Next(int frames) = 0;

    static std::shared_ptr<VoiceSource> Tone(double frequencyHz, short amplitude);
    // Samples at 48 kHz, played in a loop; an empty list is silence.
    static std::shared_ptr<VoiceSource> Samples(std::vector<short> samples);
    // A 16-bit PCM WAV file, its first channel resampled to 48 kHz. Throws
    // std::runtime_error naming the file when it cannot be read as such.
    static std::shared_ptr<VoiceSource> WaveFile(const std::string& path);
};

} // namespace Tralvonic::Sim
