#pragma once
// The host's microphone modes, as far as an own radio transmission overrides them: the mode
// that was switched off for the transmission and is switched back on at its end.

#include <cstdint>

namespace Tralvonic {

enum class MicMode : std::int32_t {
    // Nothing to restore.
    ContinuousTransmission = 0,
    // The host's voice activation was switched off.
    VoiceActivityDetection = 1,
    // The host's deactivated input was activated.
    PushToTalk = 2,
};

} // namespace Tralvonic
