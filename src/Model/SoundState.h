#pragma once
// Parameter of the SoundState command: the user's microphone and speaker flags when sent.
// (Nothing to do with sound files.)

#include "Model/Json.h"

namespace Tralvonic::Model {

struct SoundState {
    bool IsMicrophoneMuted = false;
    bool IsMicrophoneEnabled = false;
    bool IsSoundMuted = false;
    bool IsSoundEnabled = false;

    bool operator==(const SoundState&) const = default;
};
BOOST_DESCRIBE_STRUCT(SoundState, (), (IsMicrophoneMuted, IsMicrophoneEnabled, IsSoundMuted, IsSoundEnabled))

} // namespace Tralvonic::Model
