#pragma once
// Parameter of the TalkState command: a player (or the user) started or stopped talking.

#include "Model/Json.h"

#include <string>

namespace Tralvonic::Model {

struct TalkingState {
    std::string Name;
    bool IsTalking = false;

    bool operator==(const TalkingState&) const = default;
};
BOOST_DESCRIBE_STRUCT(TalkingState, (), (Name, IsTalking))

} // namespace Tralvonic::Model
