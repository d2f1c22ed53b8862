#include "VoiceSource.h"

#include "WaveFile.h"

#include <cmath>
#include <numbers>

namespace Tralvonic::Sim {

namespace {

constexpr int SampleRate = 48000;

class ToneVoice : public VoiceSource {
public:
    ToneVoice(double frequencyHz, short amplitude)
        : _step(2 * std::numbers::pi * frequencyHz / SampleRate), _amplitude(amplitude) {}

    std::vector<short> Next(int frames) override {
        std::vector<short> samples(static_cast<std::size_t>(frames));
        for (auto& sample : samples) {
            sample = static_cast<short>(std::lround(_amplitude * std::sin(_phase)));
            _phase = std::fmod(_phase + _step, 2 * std::numbers::pi);
        }
        return samples;
    }

private:
    double _step;
    double _amplitude;
    double _phase = 0;
};

class SampleVoice : public VoiceSource {
public:
    explicit SampleVoice(std::vector<short> samples) : _samples(std::move(samples)) {}

    std::vector<short> Next(int frames) override {
        std::vector<short> out(static_cast<std::size_t>(frames));
        if (_samples.empty()) {
            return out;
        }
        for (auto& sample : out) {
            sample = _samples[_position];
            _position = (_position + 1) % _samples.size();
        }
        return out;
    }

private:
    std::vector<short> _samples;
    std::size_t _position = 0;
};

} // namespace

std::shared_ptr<VoiceSource> VoiceSource::Tone(double frequencyHz, short amplitude) {
    return std::make_shared<ToneVoice>(frequencyHz, amplitude);
}

std::shared_ptr<VoiceSource> VoiceSource::Samples(std::vector<short> samples) {
    return std::make_shared<SampleVoice>(std::move(samples));
}

std::shared_ptr<VoiceSource> VoiceSource::WaveFile(const std::string& path) {
    const WaveData wave = ReadWaveFile(path);
    const std::size_t frames = wave.Samples.size() / static_cast<std::size_t>(wave.Channels);
    // The first channel, at the client's rate by picking the nearest sample.
    const auto outFrames =
        static_cast<std::size_t>(static_cast<double>(frames) * SampleRate / wave.SampleRate);
    std::vector<short> mono(outFrames);
    for (std::size_t i = 0; i < outFrames; ++i) {
        const auto source = std::min(
            frames - 1, static_cast<std::size_t>(static_cast<double>(i) * wave.SampleRate / SampleRate));
        mono[i] = wave.Samples[source * static_cast<std::size_t>(wave.Channels)];
    }
    return Samples(std::move(mono));
}

} // namespace Tralvonic::Sim
