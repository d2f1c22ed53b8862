#pragma once
// Parameter of the RadioTrafficState command: who sends or stopped sending on which radio
// channel, and through which relay player if any.

#include "Model/Json.h"

#include <optional>
#include <string>

namespace Tralvonic::Model {

struct RadioTrafficState {
    std::string Name;
    bool IsSending = false;
    bool IsPrimaryChannel = false;
    // Left out of the message, not written as null, when there is no relay.
    std::optional<std::string> ActiveRelay;

    bool operator==(const RadioTrafficState&) const = default;
};
BOOST_DESCRIBE_STRUCT(RadioTrafficState, (), (Name, IsSending, IsPrimaryChannel, ActiveRelay))

template <> inline constexpr bool NullKeysOmitted<RadioTrafficState> = true;

} // namespace Tralvonic::Model
