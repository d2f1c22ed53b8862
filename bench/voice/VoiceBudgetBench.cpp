// The voice-effect library's share of the audio budget: one 20 ms host block (960 stereo
// frames) for each of 64 voices, through the library's entry points as the plugin's audio
// callbacks call them: 16 muffled (intensities 1 to 10), 16 on the phone (signal strengths 0
// to 20), 16 on the radio (half clear, half at the end of the range) and 16 through a
// megaphone. Measured as thread CPU time of the processing calls only; in the same run, for
// scale, the same blocks through a naive cascade of four scalar biquads per voice (the cost of
// the filtering alone, written plainly) and through memcpy. Medians of all iterations are the
// counters: voices_us, naive_us, memcpy_us, core_percent (of the 20 ms block), vs_naive,
// vs_memcpy, and allocations per block after the first.

#include "AllocationCounter.h"
#include "VoiceLibrary.h"

#include <benchmark/benchmark.h>

#include <time.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

namespace Tralvonic::VoiceBench {
namespace {

constexpr std::int32_t VoicesPerEffect = 16;
constexpr std::int32_t Voices = 4 * VoicesPerEffect;
constexpr std::int32_t SignalBlocks = 25;
constexpr double BlockMicroseconds = 20000.0;

double ThreadMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) / 1e3;
}

double Median(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
}

// Four transposed direct form II biquads in series per channel, one sample at a time, with
// the same band as the phone's and radio's band-pass: the plain way to write the filtering.
class NaiveCascade {
public:
    NaiveCascade() {
        _sections = {HighPass(300.0, 0.5412), HighPass(300.0, 1.3066), LowPass(3400.0, 0.5412),
                     LowPass(3400.0, 1.3066)};
    }

    void Process(std::int16_t* samples, std::int32_t frames, std::int32_t channels, float volume) {
        for (std::int32_t f = 0; f < frames; ++f) {
            for (std::int32_t c = 0; c < channels; ++c) {
                float value = static_cast<float>(samples[f * channels + c]) / 32768.0f;
                for (std::size_t s = 0; s < _sections.size(); ++s) {
                    const Section& k = _sections[s];
                    auto& state = _state[static_cast<std::size_t>(c)][s];
                    const float output = k.B0 * value + state[0];
                    state[0] = k.B1 * value - k.A1 * output + state[1];
                    state[1] = k.B2 * value - k.A2 * output;
                    value = output;
                }
                const float scaled = std::clamp(value * volume * 32768.0f, -32768.0f, 32767.0f);
                samples[f * channels + c] = static_cast<std::int16_t>(scaled);
            }
        }
    }

private:
    struct Section {
        float B0, B1, B2, A1, A2;
    };

    static Section Make(double b0, double b1, double b2, double cosine, double alpha) {
        const double a0 = 1.0 + alpha;
        return {static_cast<float>(b0 / a0), static_cast<float>(b1 / a0), static_cast<float>(b2 / a0),
                static_cast<float>(-2.0 * cosine / a0), static_cast<float>((1.0 - alpha) / a0)};
    }
    static Section LowPass(double hz, double q) {
        const double omega = 2.0 * std::numbers::pi * hz / 48000.0;
        const double c = std::cos(omega);
        return Make((1.0 - c) / 2.0, 1.0 - c, (1.0 - c) / 2.0, c, std::sin(omega) / (2.0 * q));
    }
    static Section HighPass(double hz, double q) {
        const double omega = 2.0 * std::numbers::pi * hz / 48000.0;
        const double c = std::cos(omega);
        return Make((1.0 + c) / 2.0, -(1.0 + c), (1.0 + c) / 2.0, c, std::sin(omega) / (2.0 * q));
    }

    std::array<Section, 4> _sections{};
    std::array<std::array<std::array<float, 2>, 4>, 2> _state{};
};

struct Voice {
    std::string Name;
    ProcessFunction Process;
};

void SixtyFourVoices(benchmark::State& state) {
    const auto muffle = Entry<ProcessFunction>("ProcessMuffle");
    const auto phone = Entry<ProcessFunction>("ProcessPhone");
    const auto radio = Entry<ProcessFunction>("ProcessRadio");
    const auto megaphone = Entry<ProcessFunction>("ProcessMegaphone");
    const auto setMuffle = Entry<SetIntensityFunction>("SetMuffleIntensity");
    const auto setPhone = Entry<SetFunction>("SetPhoneDistortion");
    const auto setRadio = Entry<SetFunction>("SetRadioDistortion");
    if (muffle == nullptr || phone == nullptr || radio == nullptr || megaphone == nullptr ||
        setMuffle == nullptr || setPhone == nullptr || setRadio == nullptr) {
        state.SkipWithError("voice-effect library not loadable");
        return;
    }

    std::vector<Voice> voices;
    for (std::int32_t i = 0; i < VoicesPerEffect; ++i) {
        const std::string index = std::to_string(i);
        voices.push_back({"budget muffle " + index, muffle});
        setMuffle(voices.back().Name.c_str(), 1 + i % 10);
        voices.push_back({"budget phone " + index, phone});
        setPhone(voices.back().Name.c_str(),
                 std::round(20.0f * static_cast<float>(i) / (VoicesPerEffect - 1)));
        voices.push_back({"budget radio " + index, radio});
        setRadio(voices.back().Name.c_str(), i % 2 == 0 ? 0.0f : 18.0f);
        voices.push_back({"budget megaphone " + index, megaphone});
    }
    const std::vector<std::int16_t> signal = Speechlike(SignalBlocks);
    std::vector<std::vector<std::int16_t>> blocks(Voices, std::vector<std::int16_t>(BlockSamples));
    std::vector<NaiveCascade> naive(Voices);

    // Each voice's first block allocates its entry; that is not part of the steady state.
    for (std::size_t v = 0; v < voices.size(); ++v) {
        std::copy_n(signal.begin(), BlockSamples, blocks[v].begin());
        voices[v].Process(voices[v].Name.c_str(), blocks[v].data(), BlockFrames, Channels, 0.8f);
    }

    std::vector<double> library;
    std::vector<double> cascade;
    std::vector<double> copy;
    library.reserve(1 << 20);
    cascade.reserve(1 << 20);
    copy.reserve(1 << 20);
    std::uint64_t allocations = 0;
    std::size_t position = 0;
    for (auto _ : state) {
        const std::int16_t* input = signal.data() + position * BlockSamples;
        position = (position + 1) % SignalBlocks;
        for (auto& block : blocks) {
            std::memcpy(block.data(), input, BlockSamples * sizeof(std::int16_t));
        }
        const std::uint64_t allocationsBefore = AllocationCount();
        const double start = ThreadMicroseconds();
        for (std::size_t v = 0; v < voices.size(); ++v) {
            voices[v].Process(voices[v].Name.c_str(), blocks[v].data(), BlockFrames, Channels, 0.8f);
        }
        const double processed = ThreadMicroseconds();
        allocations += AllocationCount() - allocationsBefore;
        benchmark::DoNotOptimize(blocks.front().data());
        state.SetIterationTime((processed - start) / 1e6);

        for (auto& block : blocks) {
            std::memcpy(block.data(), input, BlockSamples * sizeof(std::int16_t));
        }
        const double naiveStart = ThreadMicroseconds();
        for (std::size_t v = 0; v < blocks.size(); ++v) {
            naive[v].Process(blocks[v].data(), BlockFrames, Channels, 0.8f);
        }
        const double naiveEnd = ThreadMicroseconds();
        benchmark::DoNotOptimize(blocks.front().data());

        const double copyStart = ThreadMicroseconds();
        for (auto& block : blocks) {
            std::memcpy(block.data(), input, BlockSamples * sizeof(std::int16_t));
            benchmark::ClobberMemory();
        }
        const double copyEnd = ThreadMicroseconds();

        if (library.size() < library.capacity()) {
            library.push_back(processed - start);
            cascade.push_back(naiveEnd - naiveStart);
            copy.push_back(copyEnd - copyStart);
        }
    }

    const double voicesMicroseconds = Median(library);
    const double naiveMicroseconds = Median(cascade);
    const double copyMicroseconds = Median(copy);
    state.counters["voices_us"] = voicesMicroseconds;
    state.counters["naive_us"] = naiveMicroseconds;
    state.counters["memcpy_us"] = copyMicroseconds;
    state.counters["core_percent"] = 100.0 * voicesMicroseconds / BlockMicroseconds;
    state.counters["vs_naive"] = naiveMicroseconds > 0.0 ? voicesMicroseconds / naiveMicroseconds : 0.0;
    state.counters["vs_memcpy"] = copyMicroseconds > 0.0 ? voicesMicroseconds / copyMicroseconds : 0.0;
    state.counters["allocations"] = static_cast<double>(allocations);
}

} // namespace
} // namespace Tralvonic::VoiceBench

BENCHMARK(Tralvonic::VoiceBench::SixtyFourVoices)->UseManualTime()->Unit(benchmark::kMicrosecond);
