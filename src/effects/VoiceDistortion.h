#pragma once
// The voice-effect library (muffle, megaphone, phone, radio), a separate native library in
// the plugin's Tralvonic folder. Loaded once at start and kept until the plugin library
// itself unloads, because the host's audio threads may still be inside a processing call
// while the plugin stops.
// Setting calls come from game-command threads, processing calls from audio threads, with
// no lock held; the library keeps its own per-player state.

#include <cstdint>
#include <string>

namespace Tralvonic {

class VoiceDistortion {
public:
    // Loads the library from `directory` (the Tralvonic folder) and resolves its entry
    // points. False, with the reason in `error`, when the file cannot be loaded or lacks one
    // of the entry points the plugin calls; the calls below are then no-ops. Loading from
    // a directory loaded before reuses that library.
    static bool Load(const std::string& directory, std::string& error);
    static bool IsLoaded();

    // The start-up probe; its answer does not matter, only that the call could be made.
    static bool Test();

    static void RemovePlayer(const std::string& name);
    static void SetMuffleIntensity(const std::string& name, std::int32_t intensity);
    static void SetPhoneDistortion(const std::string& name, float distortion);
    static void SetRadioDistortion(const std::string& name, float distortion);

    // Audio path: edit sampleCount x channels interleaved samples in place. No-ops while
    // the library is not loaded.
    static void ProcessMuffle(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                              std::int32_t channels, float volume) noexcept;
    static void ProcessMegaphone(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                                 std::int32_t channels, float volume) noexcept;
    static void ProcessPhone(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                             std::int32_t channels, float volume) noexcept;
    static void ProcessRadio(const char* name, std::int16_t* samples, std::int32_t sampleCount,
                             std::int32_t channels, float volume) noexcept;
};

} // namespace Tralvonic
