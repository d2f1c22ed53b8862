#pragma once
// Another player as the game reports him: the keys read from the game. The instance keeps
// what it computes per player (bound client, distance, offset, queues) beside this record.

#include "Model/Json.h"
#include "TeamSpeak/TSVector.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Tralvonic::Model {

// Muffled voice; Intensity 0 to 10, checked by the player update, not here.
struct MuffleEffect {
    std::int32_t Intensity = 10;

    bool operator==(const MuffleEffect&) const = default;
};
BOOST_DESCRIBE_STRUCT(MuffleEffect, (), (Intensity))

struct PlayerState {
    // In-game name = TeamSpeak nickname, the key of the player table. A null name reads as
    // empty, which the update rejects like a blank one.
    std::string Name;
    std::optional<TeamSpeak::TSVector> Position;
    float VoiceRange = 0.0f;
    // A dead player is never positioned.
    bool IsAlive = true;
    // A fixed gain instead of the distance curve, 0 to 1.6.
    std::optional<float> VolumeOverride;
    // The game declares the player out of reach whatever the distance.
    bool DistanceCulled = false;
    std::optional<MuffleEffect> Muffle;

    bool operator==(const PlayerState&) const = default;
};
BOOST_DESCRIBE_STRUCT(PlayerState, (),
                      (Name, Position, VoiceRange, IsAlive, VolumeOverride, DistanceCulled, Muffle))

} // namespace Tralvonic::Model
