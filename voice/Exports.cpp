// The library's C entry points, the only symbols it exports. They check and convert the
// arguments and hand on to the player registry; nothing may escape into the caller, which is
// the host's audio thread or a game-command thread of the plugin.

#include "PlayerRegistry.h"

#include <cstdint>
#include <string_view>

// The Windows library exports by its .def file; ELF needs the visibility, PE has none.
#ifdef _WIN32
#define VOICE_EXPORT extern "C"
#else
#define VOICE_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace {

using Tralvonic::Voice::PlayerRegistry;
using Tralvonic::Voice::PlayerVoice;

// A gain beyond this saturates every sample anyway; the cap keeps the gain ramp finite.
constexpr float MaxVolume = 1000.0f;

PlayerRegistry& Registry() {
    static PlayerRegistry registry;
    return registry;
}

// Volume is a gain; a negative or undefined one is silence.
float Gain(float volume) noexcept {
    if (!(volume > 0.0f)) {
        return 0.0f;
    }
    return volume < MaxVolume ? volume : MaxVolume;
}

using ProcessMember = void (PlayerVoice::*)(std::int16_t*, std::int32_t, std::int32_t, float) noexcept;

void Process(ProcessMember effect, const char* name, std::int16_t* samples, std::int32_t sampleCount,
             std::int32_t channels, float volume) noexcept {
    if (name == nullptr || samples == nullptr || sampleCount <= 0 || channels <= 0) {
        return;
    }
    try {
        const float gain = Gain(volume);
        Registry().With(name,
                        [&](PlayerVoice& voice) { (voice.*effect)(samples, sampleCount, channels, gain); });
    } catch (...) {
        // Only the first call for a name allocates; without memory the block stays as it was.
    }
}

template <typename Set> void Update(const char* name, Set&& set) noexcept {
    if (name == nullptr) {
        return;
    }
    try {
        Registry().With(name, set);
    } catch (...) {
        // Out of memory for a new player: the value is lost, as the caller cannot be told.
    }
}

} // namespace

VOICE_EXPORT std::int32_t Test() {
    return 1;
}

VOICE_EXPORT void RemovePlayer(const char* name) {
    if (name == nullptr) {
        return;
    }
    try {
        Registry().Remove(name);
    } catch (...) {
        // Removing cannot fail short of a broken lock; nothing to report to.
    }
}

VOICE_EXPORT void SetMuffleIntensity(const char* name, std::int32_t intensity) {
    Update(name, [intensity](PlayerVoice& voice) { voice.SetMuffleIntensity(intensity); });
}

VOICE_EXPORT void SetPhoneDistortion(const char* name, float distortion) {
    Update(name, [distortion](PlayerVoice& voice) { voice.SetPhoneDistortion(distortion); });
}

VOICE_EXPORT void SetRadioDistortion(const char* name, float distortion) {
    Update(name, [distortion](PlayerVoice& voice) { voice.SetRadioDistortion(distortion); });
}

VOICE_EXPORT void ProcessMuffle(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                std::int32_t channels, float volume) {
    Process(&PlayerVoice::ProcessMuffle, name, samples, sampleCount, channels, volume);
}

VOICE_EXPORT void ProcessMegaphone(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                   std::int32_t channels, float volume) {
    Process(&PlayerVoice::ProcessMegaphone, name, samples, sampleCount, channels, volume);
}

VOICE_EXPORT void ProcessPhone(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                               std::int32_t channels, float volume) {
    Process(&PlayerVoice::ProcessPhone, name, samples, sampleCount, channels, volume);
}

VOICE_EXPORT void ProcessRadio(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                               std::int32_t channels, float volume) {
    Process(&PlayerVoice::ProcessRadio, name, samples, sampleCount, channels, volume);
}
