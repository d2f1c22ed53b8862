#pragma once
// Parameter of RadioCommunicationUpdate and StopRadioCommunication: one transmitting player
// (the user himself for an own transmission). What the instance computes about reception is
// kept beside the record.

#include "Model/Json.h"
#include "Model/RadioType.h"

#include <optional>
#include <string>
#include <vector>

namespace Tralvonic::Model {

struct RadioCommunication {
    std::string Name;
    // No flag set until the game says otherwise: such a radio reaches nobody.
    RadioType SenderRadioType{};
    RadioType OwnRadioType{};
    bool PlayMicClick = false;
    // Gain of the radio effect, 0 to 1.6; absent means 1.
    std::optional<float> Volume;
    // The user receives it on his own radio.
    bool Direct = false;
    bool Secondary = false;
    // Players whose radio plays the transmission aloud; null reads as none.
    std::vector<std::string> RelayedBy;

    bool operator==(const RadioCommunication&) const = default;
};
BOOST_DESCRIBE_STRUCT(RadioCommunication, (),
                      (Name, SenderRadioType, OwnRadioType, PlayMicClick, Volume, Direct, Secondary,
                       RelayedBy))

} // namespace Tralvonic::Model
