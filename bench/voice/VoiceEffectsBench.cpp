// One host block (960 stereo frames, 20 ms at 48 kHz) through each voice effect, called through
// the library's entry points as the plugin's audio callbacks call them. Measured clean and at
// the worst line, since the degraded paths add a shaper and noise per frame, and on silence
// after a loud voice, where filters ringing out would compute on denormal numbers unless the
// library keeps them out: that block must cost no more than a voiced one.

#include "VoiceLibrary.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace Tralvonic::VoiceBench {
namespace {

void RunBlocks(benchmark::State& state, const char* entry, const char* setter, float value, bool silence) {
    const auto process = Entry<ProcessFunction>(entry);
    if (process == nullptr) {
        state.SkipWithError("voice-effect library not loadable");
        return;
    }
    const std::string name = std::string(entry) + " " + std::to_string(value) + (silence ? " silence" : "");
    if (setter != nullptr) {
        Entry<SetFunction>(setter)(name.c_str(), value);
    }
    const std::vector<std::int16_t> voice = Speechlike(1);
    std::vector<std::int16_t> block = voice;
    process(name.c_str(), block.data(), BlockFrames, Channels, 0.8f);
    const std::vector<std::int16_t> input = silence ? std::vector<std::int16_t>(BlockSamples, 0) : voice;
    for (auto _ : state) {
        block = input;
        process(name.c_str(), block.data(), BlockFrames, Channels, 0.8f);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetItemsProcessed(state.iterations() * BlockFrames);
}

void MuffleBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessMuffle", nullptr, 0.0f, state.range(0) != 0);
}
void MegaphoneBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessMegaphone", nullptr, 0.0f, state.range(0) != 0);
}
void PhoneFullSignalBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessPhone", "SetPhoneDistortion", 20.0f, state.range(0) != 0);
}
void PhoneNoSignalBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessPhone", "SetPhoneDistortion", 0.0f, state.range(0) != 0);
}
void RadioClearBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessRadio", "SetRadioDistortion", 0.0f, state.range(0) != 0);
}
void RadioRangeEndBlock(benchmark::State& state) {
    RunBlocks(state, "ProcessRadio", "SetRadioDistortion", 18.0f, state.range(0) != 0);
}

} // namespace
} // namespace Tralvonic::VoiceBench

// Argument 0: a voiced block; 1: silence after a voiced block.
BENCHMARK(Tralvonic::VoiceBench::MuffleBlock)->ArgName("silence")->Arg(0)->Arg(1);
BENCHMARK(Tralvonic::VoiceBench::MegaphoneBlock)->ArgName("silence")->Arg(0)->Arg(1);
BENCHMARK(Tralvonic::VoiceBench::PhoneFullSignalBlock)->ArgName("silence")->Arg(0)->Arg(1);
BENCHMARK(Tralvonic::VoiceBench::PhoneNoSignalBlock)->ArgName("silence")->Arg(0)->Arg(1);
BENCHMARK(Tralvonic::VoiceBench::RadioClearBlock)->ArgName("silence")->Arg(0)->Arg(1);
BENCHMARK(Tralvonic::VoiceBench::RadioRangeEndBlock)->ArgName("silence")->Arg(0)->Arg(1);
