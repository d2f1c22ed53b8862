#pragma once
// Parameter of UpdateRadioChannelMembers: the whole member list of one radio channel.

#include "Model/Json.h"

#include <string>
#include <vector>

namespace Tralvonic::Model {

struct RadioChannelMemberUpdate {
    // Missing or null reads as an empty channel.
    std::vector<std::string> PlayerNames;
    bool IsPrimaryChannel = false;

    bool operator==(const RadioChannelMemberUpdate&) const = default;
};
BOOST_DESCRIBE_STRUCT(RadioChannelMemberUpdate, (), (PlayerNames, IsPrimaryChannel))

} // namespace Tralvonic::Model
