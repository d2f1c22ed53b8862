#pragma once
// Everything the library keeps for one player: the three settings the game sends and the
// memory of each effect. Settings are written by game-command threads and read by audio
// threads as atomics. Effect memory belongs to the audio threads; two of them processing the
// same effect for the same player at once each take a copy under a lock held only for the
// copy, so no audio thread waits for another's block.

#include "MegaphoneEffect.h"
#include "MuffleEffect.h"
#include "PhoneEffect.h"
#include "RadioEffect.h"

#include <atomic>
#include <cstdint>
#include <thread>

namespace Tralvonic::Voice {

class PlayerVoice {
public:
    // Game-command threads.
    void SetMuffleIntensity(std::int32_t intensity) noexcept {
        _muffleIntensity.store(intensity, std::memory_order_relaxed);
    }
    // The phone's distortion is its signal strength, 20 for full signal.
    void SetPhoneDistortion(float signalStrength) noexcept {
        _phoneSignal.store(signalStrength, std::memory_order_relaxed);
    }
    void SetRadioDistortion(float distortion) noexcept {
        _radioDistortion.store(distortion, std::memory_order_relaxed);
    }

    // Audio threads: edit frames x channels interleaved samples in place.
    void ProcessMuffle(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                       float volume) noexcept;
    void ProcessMegaphone(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                          float volume) noexcept;
    void ProcessPhone(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                      float volume) noexcept;
    void ProcessRadio(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                      float volume) noexcept;

private:
    // A spin lock rather than a mutex: it is held for a copy of a few hundred bytes only,
    // and taking it can neither fail nor throw on an audio thread.
    template <typename Effect> class Guarded {
    public:
        Effect Load() noexcept {
            Lock();
            Effect copy = _effect;
            _busy.clear(std::memory_order_release);
            return copy;
        }
        void Store(const Effect& effect) noexcept {
            Lock();
            _effect = effect;
            _busy.clear(std::memory_order_release);
        }

    private:
        void Lock() noexcept {
            while (_busy.test_and_set(std::memory_order_acquire)) {
                std::this_thread::yield();
            }
        }

        std::atomic_flag _busy;
        Effect _effect;
    };

    // Runs one block through a copy of the effect's memory and keeps the copy.
    template <typename Effect, typename... Params>
    static void Apply(Guarded<Effect>& guarded, std::int16_t* samples, std::int32_t frames,
                      std::int32_t channels, float volume, Params... params) noexcept {
        Effect effect = guarded.Load();
        (effect.SetParams({params}), ...);
        effect.Process(samples, frames, channels, volume);
        guarded.Store(effect);
    }

    // Settings; a player the game never configured is muffled fully, as its muffle record's
    // intensity defaults to 10, and hears a clean phone (full signal) and radio.
    std::atomic<std::int32_t> _muffleIntensity{MuffleEffect::MaxIntensity};
    std::atomic<float> _phoneSignal{PhoneEffect::FullSignal};
    std::atomic<float> _radioDistortion{0.0f};

    // Effect memory, audio threads only.
    Guarded<MuffleEffect> _muffle;
    Guarded<MegaphoneEffect> _megaphone;
    Guarded<PhoneEffect> _phone;
    Guarded<RadioEffect> _radio;
};

} // namespace Tralvonic::Voice
