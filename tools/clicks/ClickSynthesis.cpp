#include "ClickSynthesis.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace Tralvonic::Tools {

namespace {

constexpr double Rate = ClickSampleRate;
// About -9 dBFS: audible over speech without startling.
constexpr double PeakLevel = 0.35;

// A tiny deterministic noise source (32-bit LCG), so every build writes the same files.
class Noise {
public:
    double Next() {
        _state = _state * 1664525u + 1013904223u;
        return static_cast<double>(_state >> 8) / static_cast<double>(1u << 24) * 2.0 - 1.0;
    }

private:
    std::uint32_t _state = 0x2545F491u;
};

// Raised-cosine attack and exponential decay; `time` and `length` in seconds.
double Envelope(double time, double length, double attack, double decayPerSecond) {
    if (time < 0.0 || time >= length) {
        return 0.0;
    }
    const double rise = time < attack ? 0.5 - 0.5 * std::cos(std::numbers::pi * time / attack) : 1.0;
    // A short fade at the end keeps the last sample from clicking on its own.
    const double fadeLength = 0.004;
    const double fall = time > length - fadeLength ? (length - time) / fadeLength : 1.0;
    return rise * fall * std::exp(-decayPerSecond * time);
}

struct Layer {
    double Start = 0.0;  // s
    double Length = 0.0; // s
    double FromHz = 0.0; // tone sweep; 0 for noise
    double ToHz = 0.0;
    double Level = 0.0;    // relative
    double Attack = 0.002; // s
    double Decay = 0.0;    // per second
    bool IsNoise = false;
};

// Layers summed, band-limited like a handheld radio's speaker (one-pole high- and low-pass at
// about 300 Hz and 3.4 kHz), then normalised to the peak level.
std::vector<std::int16_t> Render(const std::vector<Layer>& layers) {
    double total = 0.0;
    for (const auto& layer : layers) {
        total = std::max(total, layer.Start + layer.Length);
    }
    const auto count = static_cast<std::size_t>(std::ceil(total * Rate)) + 1;
    std::vector<double> mix(count, 0.0);
    Noise noise;
    for (const auto& layer : layers) {
        double phase = 0.0;
        for (std::size_t index = 0; index < count; ++index) {
            const double time = static_cast<double>(index) / Rate - layer.Start;
            const double gain = Envelope(time, layer.Length, layer.Attack, layer.Decay);
            if (gain == 0.0) {
                continue;
            }
            double value = 0.0;
            if (layer.IsNoise) {
                value = noise.Next();
            } else {
                const double progress = std::clamp(time / layer.Length, 0.0, 1.0);
                const double frequency = layer.FromHz + (layer.ToHz - layer.FromHz) * progress;
                phase += 2.0 * std::numbers::pi * frequency / Rate;
                value = std::sin(phase);
            }
            mix[index] += value * gain * layer.Level;
        }
    }

    const double highPass = std::exp(-2.0 * std::numbers::pi * 300.0 / Rate);
    const double lowPass = std::exp(-2.0 * std::numbers::pi * 3400.0 / Rate);
    double previousIn = 0.0;
    double high = 0.0;
    double low = 0.0;
    double peak = 0.0;
    for (double& sample : mix) {
        high = highPass * (high + sample - previousIn);
        previousIn = sample;
        low = (1.0 - lowPass) * high + lowPass * low;
        sample = low;
        peak = std::max(peak, std::abs(sample));
    }
    std::vector<std::int16_t> samples(count);
    const double scale = peak > 0.0 ? PeakLevel * 32767.0 / peak : 0.0;
    std::transform(mix.begin(), mix.end(), samples.begin(), [&](double sample) {
        return static_cast<std::int16_t>(std::lround(std::clamp(sample * scale, -32768.0, 32767.0)));
    });
    return samples;
}

// Key-up: a soft click and a short rising chirp.
std::vector<Layer> KeyUp(double pitchHz) {
    return {
        Layer{0.0, 0.006, 0.0, 0.0, 0.6, 0.0005, 400.0, true},
        Layer{0.008, 0.055, pitchHz, pitchHz * 1.25, 0.8, 0.004, 8.0, false},
    };
}

// Release: a falling two-note "roger" chirp and a squelch tail of band-limited noise.
std::vector<Layer> Release(double pitchHz) {
    return {
        Layer{0.0, 0.045, pitchHz * 1.25, pitchHz * 1.25, 0.7, 0.003, 6.0, false},
        Layer{0.05, 0.05, pitchHz, pitchHz * 0.9, 0.7, 0.003, 10.0, false},
        Layer{0.1, 0.09, 0.0, 0.0, 0.45, 0.002, 28.0, true},
    };
}

} // namespace

std::vector<ClickSound> SynthesizeMicClicks() {
    constexpr double Own = 1400.0;
    constexpr double Primary = 1200.0;
    constexpr double Secondary = 900.0;
    return {
        {"selfOnMicClick", Render(KeyUp(Own))},      {"selfOffMicClick", Render(Release(Own))},
        {"onMicClick", Render(KeyUp(Primary))},      {"offMicClick", Render(Release(Primary))},
        {"onSecMicClick", Render(KeyUp(Secondary))}, {"offSecMicClick", Render(Release(Secondary))},
    };
}

std::vector<std::uint8_t> EncodeWave(const std::vector<std::int16_t>& samples, int sampleRate) {
    constexpr std::size_t HeaderBytes = 44;
    constexpr std::uint32_t Channels = 1;
    constexpr std::uint32_t BitsPerSample = 16;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    const auto rate = static_cast<std::uint32_t>(sampleRate);
    std::vector<std::uint8_t> bytes(HeaderBytes + dataBytes);
    std::size_t at = 0;
    const auto put = [&](std::uint32_t value, int size) {
        for (int index = 0; index < size; ++index) {
            bytes[at++] = static_cast<std::uint8_t>(value >> (8 * index));
        }
    };
    const auto text = [&](const char(&chars)[5]) {
        for (int index = 0; index < 4; ++index) {
            bytes[at++] = static_cast<std::uint8_t>(chars[index]);
        }
    };
    text("RIFF");
    put(36 + dataBytes, 4);
    text("WAVE");
    text("fmt ");
    put(16, 4);
    put(1, 2); // PCM
    put(Channels, 2);
    put(rate, 4);
    put(rate * Channels * BitsPerSample / 8, 4);
    put(Channels * BitsPerSample / 8, 2);
    put(BitsPerSample, 2);
    text("data");
    put(dataBytes, 4);
    for (const std::int16_t sample : samples) {
        put(static_cast<std::uint16_t>(sample), 2);
    }
    return bytes;
}

} // namespace Tralvonic::Tools
