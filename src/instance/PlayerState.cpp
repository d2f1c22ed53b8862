#include "instance/PlayerState.h"

namespace Tralvonic {

PlayerVoice PlayerVoice::From(const Model::PlayerState& record) {
    return PlayerVoice{record.Position,       record.VoiceRange,     record.IsAlive,
                       record.VolumeOverride, record.DistanceCulled, record.Muffle};
}

PlayerState::PlayerState(const Model::PlayerState& record)
    : _name(record.Name), _voice(PlayerVoice::From(record)) {}

} // namespace Tralvonic
