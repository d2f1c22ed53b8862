// One host block (960 stereo frames, 20 ms at 48 kHz) through each voice effect, called through
// the library's entry points as the plugin's audio callbacks call them. Measured clean and at
// full distortion, since the distorted paths add a waveshaper and noise per sample.

#include <benchmark/benchmark.h>

#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

namespace {

using ProcessFunction = void (*)(const char*, std::int16_t*, std::int32_t, std::int32_t, float);
using SetFunction = void (*)(const char*, float);

constexpr std::int32_t BlockFrames = 960;
constexpr std::int32_t Channels = 2;

void* Library() {
    static void* handle = dlopen(TRALVONIC_VOICE_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    return handle;
}

template <typename Function> Function Entry(const char* name) {
    return Library() != nullptr ? reinterpret_cast<Function>(dlsym(Library(), name)) : nullptr;
}

std::vector<std::int16_t> Speechlike() {
    std::vector<std::int16_t> block(BlockFrames * Channels);
    for (std::int32_t f = 0; f < BlockFrames; ++f) {
        const double t = static_cast<double>(f) / 48000.0;
        const double value = 6000.0 * std::sin(2.0 * std::numbers::pi * 220.0 * t) +
                             3000.0 * std::sin(2.0 * std::numbers::pi * 1330.0 * t);
        block[static_cast<std::size_t>(f * Channels)] = static_cast<std::int16_t>(value);
        block[static_cast<std::size_t>(f * Channels + 1)] = static_cast<std::int16_t>(value);
    }
    return block;
}

void RunBlocks(benchmark::State& state, const char* entry, const char* setter, float distortion) {
    const auto process = Entry<ProcessFunction>(entry);
    if (process == nullptr) {
        state.SkipWithError("voice-effect library not loadable");
        return;
    }
    const std::string name = std::string(entry) + " " + std::to_string(distortion);
    if (setter != nullptr) {
        Entry<SetFunction>(setter)(name.c_str(), distortion);
    }
    const std::vector<std::int16_t> voice = Speechlike();
    std::vector<std::int16_t> block = voice;
    for (auto _ : state) {
        block = voice;
        process(name.c_str(), block.data(), BlockFrames, Channels, 0.8f);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * BlockFrames);
}

void MuffleBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessMuffle", nullptr, 0.0f);
}
void MegaphoneBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessMegaphone", nullptr, 0.0f);
}
void PhoneCleanBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessPhone", "SetPhoneDistortion", 0.0f);
}
void PhoneDistortedBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessPhone", "SetPhoneDistortion", 20.0f);
}
void RadioCleanBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessRadio", "SetRadioDistortion", 0.0f);
}
void RadioDistortedBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessRadio", "SetRadioDistortion", 18.0f);
}

} // namespace

BENCHMARK(MuffleBlock);
BENCHMARK(MegaphoneBlock);
BENCHMARK(PhoneCleanBlock);
BENCHMARK(PhoneDistortedBlock);
BENCHMARK(RadioCleanBlock);
BENCHMARK(RadioDistortedBlock);
