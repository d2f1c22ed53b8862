#pragma once
// Parameter of PhoneCommunicationUpdate and StopPhoneCommunication: one call partner. The relay
// the call is heard through is computed by the instance and kept beside the record.

#include "Model/Json.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Tralvonic::Model {

struct PhoneCommunication {
    std::string Name;
    // 0 to 20; an update without it ends the call.
    std::optional<std::int32_t> SignalStrength;
    // Gain of the phone effect, 0 to 1.6; absent means 1.
    std::optional<float> Volume;
    // The user is on this call himself.
    bool Direct = false;
    // Players whose phone plays the call aloud; null reads as none.
    std::vector<std::string> RelayedBy;

    bool operator==(const PhoneCommunication&) const = default;
};
BOOST_DESCRIBE_STRUCT(PhoneCommunication, (), (Name, SignalStrength, Volume, Direct, RelayedBy))

} // namespace Tralvonic::Model
