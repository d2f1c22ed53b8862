#pragma once
// Positions in game messages: an object with the number members X, Y and Z, matched in any
// letter case; a missing member leaves its component 0. Nullable positions are
// std::optional<TeamSpeak::TSVector>.

#include "Model/JsonMapping.h"
#include "TeamSpeak/TSVector.h"

namespace Tralvonic::Model {

template <> struct JsonMapping<TeamSpeak::TSVector> {
    static void Read(const boost::json::value& json, TeamSpeak::TSVector& target);
    static boost::json::value Write(const TeamSpeak::TSVector& value);
};

} // namespace Tralvonic::Model
