// A stand-in voice-effect library for tests: records every call and applies the volume, so a
// test can see which entry point the plugin reached and with what.

#include <cstdint>
#include <mutex>
#include <string>

namespace {

std::mutex callsMutex;
std::string calls;

void Record(const std::string& call) {
    std::lock_guard lock(callsMutex);
    calls += call;
    calls += '\n';
}

void Scale(std::int16_t* samples, std::int32_t sampleCount, std::int32_t channels, float volume) {
    for (std::int32_t i = 0; i < sampleCount * channels; ++i) {
        samples[i] = static_cast<std::int16_t>(static_cast<float>(samples[i]) * volume);
    }
}

} // namespace

#ifdef _WIN32
#define TEST_EFFECT_EXPORT extern "C" __declspec(dllexport)
#else
#define TEST_EFFECT_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// The recorded calls, one per line; the buffer stays valid until the next call of any function.
TEST_EFFECT_EXPORT const char* TestEffectCalls() {
    static std::string snapshot;
    std::lock_guard lock(callsMutex);
    snapshot = calls;
    return snapshot.c_str();
}

TEST_EFFECT_EXPORT std::int32_t Test() {
    Record("Test");
    return 1;
}

TEST_EFFECT_EXPORT void RemovePlayer(const char* name) {
    Record(std::string("RemovePlayer ") + name);
}

TEST_EFFECT_EXPORT void SetMuffleIntensity(const char* name, std::int32_t intensity) {
    Record(std::string("SetMuffleIntensity ") + name + " " + std::to_string(intensity));
}

TEST_EFFECT_EXPORT void SetPhoneDistortion(const char* name, float distortion) {
    Record(std::string("SetPhoneDistortion ") + name + " " + std::to_string(distortion));
}

TEST_EFFECT_EXPORT void SetRadioDistortion(const char* name, float distortion) {
    Record(std::string("SetRadioDistortion ") + name + " " + std::to_string(distortion));
}

TEST_EFFECT_EXPORT void ProcessMuffle(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                      std::int32_t channels, float volume) {
    Record(std::string("ProcessMuffle ") + name);
    Scale(samples, sampleCount, channels, volume);
}

TEST_EFFECT_EXPORT void ProcessMegaphone(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                         std::int32_t channels, float volume) {
    Record(std::string("ProcessMegaphone ") + name);
    Scale(samples, sampleCount, channels, volume);
}

TEST_EFFECT_EXPORT void ProcessPhone(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                     std::int32_t channels, float volume) {
    Record(std::string("ProcessPhone ") + name);
    Scale(samples, sampleCount, channels, volume);
}

#ifndef TEST_EFFECT_WITHOUT_RADIO
TEST_EFFECT_EXPORT void ProcessRadio(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                     std::int32_t channels, float volume) {
    Record(std::string("ProcessRadio ") + name);
    Scale(samples, sampleCount, channels, volume);
}
#endif
