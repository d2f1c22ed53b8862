#include "WaveFile.h"

#include <cstring>
#include <stdexcept>

namespace Tralvonic::Sim {

namespace {

std::uint32_t ReadU32(const char* bytes) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[3])) << 24;
}

std::uint16_t ReadU16(const char* bytes) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[0]) |
                                      static_cast<unsigned char>(bytes[1]) << 8);
}

void WriteU32(std::ofstream& file, std::uint32_t value) {
    const char bytes[] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
                          static_cast<char>((value >> 16) & 0xFF), static_cast<char>((value >> 24) & 0xFF)};
    file.write(bytes, 4);
}

void WriteU16(std::ofstream& file, std::uint16_t value) {
    const char bytes[] = {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
    file.write(bytes, 2);
}

// A voice file of more than ten minutes is not something to hold in memory here.
constexpr std::uint32_t MaxDataBytes = 10 * 60 * 48000 * 2 * 2;

} // namespace

WaveData ReadWaveFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const auto fail = [&](const std::string& why) {
        return std::runtime_error(path + ": " + why);
    };
    if (!file) {
        throw fail("cannot be opened");
    }
    char header[12];
    if (!file.read(header, 12) || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0) {
        throw fail("not a WAV file");
    }
    WaveData wave;
    bool hasFormat = false;
    char chunk[8];
    while (file.read(chunk, 8)) {
        const std::uint32_t size = ReadU32(chunk + 4);
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            char format[16];
            if (size < 16 || !file.read(format, 16)) {
                throw fail("broken format chunk");
            }
            if (ReadU16(format) != 1 || ReadU16(format + 14) != 16) {
                throw fail("only 16-bit PCM is supported");
            }
            wave.Channels = ReadU16(format + 2);
            wave.SampleRate = static_cast<int>(ReadU32(format + 4));
            if (wave.Channels < 1 || wave.SampleRate < 1000) {
                throw fail("unusable channel count or sample rate");
            }
            hasFormat = true;
            file.seekg(size - 16 + (size & 1), std::ios::cur);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!hasFormat) {
                throw fail("data before format");
            }
            const std::uint32_t bytes = std::min(size, MaxDataBytes);
            std::vector<char> raw(bytes);
            file.read(raw.data(), static_cast<std::streamsize>(bytes));
            raw.resize(static_cast<std::size_t>(file.gcount()));
            wave.Samples.resize(raw.size() / 2);
            for (std::size_t i = 0; i < wave.Samples.size(); ++i) {
                wave.Samples[i] = static_cast<short>(ReadU16(raw.data() + 2 * i));
            }
            return wave;
        } else {
            file.seekg(size + (size & 1), std::ios::cur);
        }
    }
    throw fail("no data chunk");
}

WaveWriter::WaveWriter(const std::string& path, int channels, int sampleRate)
    : _file(path, std::ios::binary | std::ios::trunc), _channels(channels), _sampleRate(sampleRate) {
    if (!_file) {
        throw std::runtime_error(path + ": cannot be created");
    }
    WriteHeader();
}

WaveWriter::~WaveWriter() {
    Close();
}

void WaveWriter::Append(const std::vector<short>& samples) {
    if (!_file.is_open()) {
        return;
    }
    for (const short sample : samples) {
        WriteU16(_file, static_cast<std::uint16_t>(sample));
    }
    _dataBytes += static_cast<std::uint32_t>(samples.size() * 2);
}

void WaveWriter::Close() {
    if (!_file.is_open()) {
        return;
    }
    _file.seekp(0);
    WriteHeader();
    _file.close();
}

void WaveWriter::WriteHeader() {
    const auto channels = static_cast<std::uint16_t>(_channels);
    const auto rate = static_cast<std::uint32_t>(_sampleRate);
    _file.write("RIFF", 4);
    WriteU32(_file, 36 + _dataBytes);
    _file.write("WAVEfmt ", 8);
    WriteU32(_file, 16);
    WriteU16(_file, 1);
    WriteU16(_file, channels);
    WriteU32(_file, rate);
    WriteU32(_file, rate * channels * 2);
    WriteU16(_file, static_cast<std::uint16_t>(channels * 2));
    WriteU16(_file, 16);
    _file.write("data", 4);
    WriteU32(_file, _dataBytes);
}

} // namespace Tralvonic::Sim
