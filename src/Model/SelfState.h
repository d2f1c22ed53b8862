#pragma once
// The user's own in-game state, sent by the game on its own or at the end of a bulk update.
// Every key is optional; a missing key keeps the default below.

#include "Model/Json.h"
#include "TeamSpeak/TSVector.h"

#include <cstdint>
#include <optional>

namespace Tralvonic::Model {

// Echo on the user's own voice. Rolloff must lie strictly between 0 and 1; the self state
// update checks it, not the record.
struct EchoEffect {
    std::int32_t Duration = 100;
    float Rolloff = 0.3f;
    std::int32_t Delay = 25;

    bool operator==(const EchoEffect&) const = default;
};
BOOST_DESCRIBE_STRUCT(EchoEffect, (), (Duration, Rolloff, Delay))

struct SelfState {
    TeamSpeak::TSVector Position;
    // Heading in degrees, as the game sends it.
    float Rotation = 0.0f;
    float VoiceRange = 0.0f;
    // A dead user sends voice to nobody.
    bool IsAlive = true;
    std::optional<EchoEffect> Echo;

    bool operator==(const SelfState&) const = default;
};
BOOST_DESCRIBE_STRUCT(SelfState, (), (Position, Rotation, VoiceRange, IsAlive, Echo))

} // namespace Tralvonic::Model
