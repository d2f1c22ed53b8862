#include "PlayerVoice.h"

namespace Tralvonic::Voice {

void PlayerVoice::ProcessMuffle(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                                float volume) noexcept {
    MuffleEffect effect = _muffle.Load();
    effect.SetParams({_muffleIntensity.load(std::memory_order_relaxed)});
    effect.Process(samples, frames, channels, volume);
    _muffle.Store(effect);
}

void PlayerVoice::ProcessMegaphone(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                                   float volume) noexcept {
    MegaphoneEffect effect = _megaphone.Load();
    effect.Process(samples, frames, channels, volume);
    _megaphone.Store(effect);
}

void PlayerVoice::ProcessPhone(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                               float volume) noexcept {
    PhoneEffect effect = _phone.Load();
    effect.SetParams({_phoneDistortion.load(std::memory_order_relaxed)});
    effect.Process(samples, frames, channels, volume);
    _phone.Store(effect);
}

void PlayerVoice::ProcessRadio(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                               float volume) noexcept {
    RadioEffect effect = _radio.Load();
    effect.SetParams({_radioDistortion.load(std::memory_order_relaxed)});
    effect.Process(samples, frames, channels, volume);
    _radio.Store(effect);
}

} // namespace Tralvonic::Voice
