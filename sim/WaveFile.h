#pragma once
// 16-bit PCM WAV files for the simulated client: reading a voice to play and writing what
// the user heard or sent, so a session can be listened to afterwards.

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace Tralvonic::Sim {

struct WaveData {
    int SampleRate = 48000;
    int Channels = 1;
    std::vector<short> Samples; // interleaved
};

// Throws std::runtime_error naming the file when it is not a 16-bit PCM WAV file.
WaveData ReadWaveFile(const std::string& path);

class WaveWriter {
public:
    // Throws std::runtime_error when the file cannot be created.
    WaveWriter(const std::string& path, int channels, int sampleRate = 48000);
    ~WaveWriter();
    WaveWriter(const WaveWriter&) = delete;
    WaveWriter& operator=(const WaveWriter&) = delete;

    void Append(const std::vector<short>& samples);
    // Writes the final sizes; the destructor does it too.
    void Close();

private:
    void WriteHeader();

    std::ofstream _file;
    int _channels;
    int _sampleRate;
    std::uint32_t _dataBytes = 0;
};

} // namespace Tralvonic::Sim
