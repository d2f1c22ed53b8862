#pragma once
// Every player state and then the user's own state in one message, so that one update ends in
// exactly one recalculation.

#include "Model/Json.h"
#include "Model/PlayerState.h"
#include "Model/SelfState.h"

#include <optional>
#include <vector>

namespace Tralvonic::Model {

struct BulkUpdate {
    std::vector<PlayerState> PlayerStates;
    // Absent or null when the game sent none: the players are applied without a recalculation.
    std::optional<Model::SelfState> SelfState;

    bool operator==(const BulkUpdate&) const = default;
};
BOOST_DESCRIBE_STRUCT(BulkUpdate, (), (PlayerStates, SelfState))

} // namespace Tralvonic::Model
