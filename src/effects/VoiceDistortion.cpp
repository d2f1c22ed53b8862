#include "effects/VoiceDistortion.h"

#include "core/Platform.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

namespace Tralvonic {

namespace {

// The library's BOOL is four bytes on every platform.
using Bool32 = std::int32_t;
using TestFunction = Bool32 (*)();
using InitMenusFunction = Bool32 (*)(void*, void*);
using EffectCleanupFunction = void (*)(void*);
using RemovePlayerFunction = void (*)(const char*);
using SetIntensityFunction = void (*)(const char*, std::int32_t);
using SetDistortionFunction = void (*)(const char*, float);
using ProcessFunction = void (*)(const char*, std::int16_t*, std::int32_t, std::int32_t, float);

struct EntryPoints {
    TestFunction Test = nullptr;
    InitMenusFunction InitMenus = nullptr;         // optional, never called
    EffectCleanupFunction EffectCleanup = nullptr; // optional, never called
    RemovePlayerFunction RemovePlayer = nullptr;
    SetIntensityFunction SetMuffleIntensity = nullptr;
    SetDistortionFunction SetPhoneDistortion = nullptr;
    SetDistortionFunction SetRadioDistortion = nullptr;
    ProcessFunction ProcessMuffle = nullptr;
    ProcessFunction ProcessMegaphone = nullptr;
    ProcessFunction ProcessPhone = nullptr;
    ProcessFunction ProcessRadio = nullptr;
};

struct LoadedLibrary {
    std::string Path;
    std::unique_ptr<NativeLibrary> Library;
    std::unique_ptr<EntryPoints> Entries;
};

// Every library ever loaded stays mapped until the plugin unloads: an audio thread may still
// be inside one of its functions when a later start loads another or fails.
std::mutex loadMutex;
std::vector<LoadedLibrary> loadedLibraries; // guarded by loadMutex
std::atomic<const EntryPoints*> published{nullptr};

template <typename Function>
bool Resolve(const NativeLibrary& from, const char* name, Function& target, std::string& missing) {
    target = reinterpret_cast<Function>(from.Symbol(name));
    if (target == nullptr) {
        missing += missing.empty() ? name : std::string(", ") + name;
        return false;
    }
    return true;
}

void Forward(ProcessFunction EntryPoints::*entry, const char* name, std::int16_t* samples,
             std::int32_t sampleCount, std::int32_t channels, float volume) noexcept {
    if (const EntryPoints* entries = published.load(std::memory_order_acquire)) {
        (entries->*entry)(name, samples, sampleCount, channels, volume);
    }
}

} // namespace

bool VoiceDistortion::Load(const std::string& directory, std::string& error) {
    const std::string path = Platform::JoinPath(directory, Platform::EffectLibraryFileName());
    std::lock_guard lock(loadMutex);
    published.store(nullptr, std::memory_order_release);
    for (const LoadedLibrary& earlier : loadedLibraries) {
        if (earlier.Path == path) {
            published.store(earlier.Entries.get(), std::memory_order_release);
            return true;
        }
    }
    auto loaded = Platform::Current().OpenLibrary(path, error);
    if (!loaded) {
        return false;
    }
    auto resolved = std::make_unique<EntryPoints>();
    std::string missing;
    bool complete = true;
    complete &= Resolve(*loaded, "Test", resolved->Test, missing);
    complete &= Resolve(*loaded, "RemovePlayer", resolved->RemovePlayer, missing);
    complete &= Resolve(*loaded, "SetMuffleIntensity", resolved->SetMuffleIntensity, missing);
    complete &= Resolve(*loaded, "SetPhoneDistortion", resolved->SetPhoneDistortion, missing);
    complete &= Resolve(*loaded, "SetRadioDistortion", resolved->SetRadioDistortion, missing);
    complete &= Resolve(*loaded, "ProcessMuffle", resolved->ProcessMuffle, missing);
    complete &= Resolve(*loaded, "ProcessMegaphone", resolved->ProcessMegaphone, missing);
    complete &= Resolve(*loaded, "ProcessPhone", resolved->ProcessPhone, missing);
    complete &= Resolve(*loaded, "ProcessRadio", resolved->ProcessRadio, missing);
    if (!complete) {
        error = path + " lacks the entry points " + missing;
        return false;
    }
    std::string ignored;
    Resolve(*loaded, "InitMenus", resolved->InitMenus, ignored);
    Resolve(*loaded, "EffectCleanup", resolved->EffectCleanup, ignored);
    published.store(resolved.get(), std::memory_order_release);
    loadedLibraries.push_back({path, std::move(loaded), std::move(resolved)});
    return true;
}

bool VoiceDistortion::IsLoaded() {
    return published.load(std::memory_order_acquire) != nullptr;
}

bool VoiceDistortion::Test() {
    const EntryPoints* entries = published.load(std::memory_order_acquire);
    return entries != nullptr && entries->Test() != 0;
}

void VoiceDistortion::RemovePlayer(const std::string& name) {
    if (const EntryPoints* entries = published.load(std::memory_order_acquire)) {
        entries->RemovePlayer(name.c_str());
    }
}

void VoiceDistortion::SetMuffleIntensity(const std::string& name, std::int32_t intensity) {
    if (const EntryPoints* entries = published.load(std::memory_order_acquire)) {
        entries->SetMuffleIntensity(name.c_str(), intensity);
    }
}

void VoiceDistortion::SetPhoneDistortion(const std::string& name, float distortion) {
    if (const EntryPoints* entries = published.load(std::memory_order_acquire)) {
        entries->SetPhoneDistortion(name.c_str(), distortion);
    }
}

void VoiceDistortion::SetRadioDistortion(const std::string& name, float distortion) {
    if (const EntryPoints* entries = published.load(std::memory_order_acquire)) {
        entries->SetRadioDistortion(name.c_str(), distortion);
    }
}

void VoiceDistortion::ProcessMuffle(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                    std::int32_t channels, float volume) noexcept {
    Forward(&EntryPoints::ProcessMuffle, name, samples, sampleCount, channels, volume);
}

void VoiceDistortion::ProcessMegaphone(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                       std::int32_t channels, float volume) noexcept {
    Forward(&EntryPoints::ProcessMegaphone, name, samples, sampleCount, channels, volume);
}

void VoiceDistortion::ProcessPhone(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                   std::int32_t channels, float volume) noexcept {
    Forward(&EntryPoints::ProcessPhone, name, samples, sampleCount, channels, volume);
}

void VoiceDistortion::ProcessRadio(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                   std::int32_t channels, float volume) noexcept {
    Forward(&EntryPoints::ProcessRadio, name, samples, sampleCount, channels, volume);
}

} // namespace Tralvonic
