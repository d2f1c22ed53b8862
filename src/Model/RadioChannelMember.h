#pragma once
// Parameter of AddRadioChannelMember and RemoveRadioChannelMember: one name joining or leaving
// the primary or the secondary radio channel.

#include "Model/Json.h"

#include <string>

namespace Tralvonic::Model {

struct RadioChannelMember {
    std::string PlayerName;
    bool IsPrimaryChannel = false;

    bool operator==(const RadioChannelMember&) const = default;
};
BOOST_DESCRIBE_STRUCT(RadioChannelMember, (), (PlayerName, IsPrimaryChannel))

} // namespace Tralvonic::Model
