#pragma once
// Parameter of UpdateRadioChannelMembers: the whole member list of one radio channel.

#include "Model/Json.h"

#include <optional>
#include <string>
#include <vector>

namespace Tralvonic::Model {

struct RadioChannelMemberUpdate {
    // Absent when the game sent no list (or null); the handler reads that as an empty
    // channel and says so in the log.
    std::optional<std::vector<std::string>> PlayerNames;
    bool IsPrimaryChannel = false;

    bool operator==(const RadioChannelMemberUpdate&) const = default;
};
BOOST_DESCRIBE_STRUCT(RadioChannelMemberUpdate, (), (PlayerNames, IsPrimaryChannel))

} // namespace Tralvonic::Model
