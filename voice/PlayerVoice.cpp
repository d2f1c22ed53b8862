#include "PlayerVoice.h"

namespace Tralvonic::Voice {

void PlayerVoice::ProcessMuffle(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                                float volume) noexcept {
    Apply(_muffle, samples, frames, channels, volume, _muffleIntensity.load(std::memory_order_relaxed));
}

void PlayerVoice::ProcessMegaphone(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                                   float volume) noexcept {
    Apply(_megaphone, samples, frames, channels, volume);
}

void PlayerVoice::ProcessPhone(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                               float volume) noexcept {
    Apply(_phone, samples, frames, channels, volume, _phoneSignal.load(std::memory_order_relaxed));
}

void PlayerVoice::ProcessRadio(std::int16_t* samples, std::int32_t frames, std::int32_t channels,
                               float volume) noexcept {
    Apply(_radio, samples, frames, channels, volume, _radioDistortion.load(std::memory_order_relaxed));
}

} // namespace Tralvonic::Voice
