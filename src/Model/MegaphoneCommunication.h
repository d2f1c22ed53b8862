#pragma once
// Parameter of MegaphoneCommunicationUpdate and StopMegaphoneCommunication: a player (or the
// user) speaking through a megaphone.

#include "Model/Json.h"

#include <optional>
#include <string>

namespace Tralvonic::Model {

struct MegaphoneCommunication {
    std::string Name;
    // Only a positive range keeps the megaphone on.
    float Range = 0.0f;
    // Gain of the megaphone effect, 0 to 1.6; absent means a gain falling with distance.
    std::optional<float> Volume;

    bool operator==(const MegaphoneCommunication&) const = default;
};
BOOST_DESCRIBE_STRUCT(MegaphoneCommunication, (), (Name, Range, Volume))

} // namespace Tralvonic::Model
