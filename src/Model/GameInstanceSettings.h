#pragma once
// What the game sends with Initiate: the part of a game instance read from JSON. Every other
// key of the message is ignored. Null text and lists read as the defaults below.

#include "Model/Json.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Tralvonic::Model {

struct GameInstanceSettings {
    // The instance's key in the registry and in every message.
    std::optional<std::string> ServerUniqueIdentifier;
    std::uint64_t ChannelId = 0;
    std::string ChannelPassword;
    // The nickname enforced outside swiss channels.
    std::optional<std::string> Name;
    std::string SoundPack = "default";
    // Channels (with every sub-channel) in which the user is left alone.
    std::vector<std::uint64_t> SwissChannelIds;
    bool SendTalkStates = true;
    bool SendRadioTrafficStates = false;
    float UltraShortRangeDistance = 1800.0f;
    float ShortRangeDistance = 3000.0f;
    // Spelled as the game sends it.
    float LongRangeDistace = 8000.0f;

    bool operator==(const GameInstanceSettings&) const = default;
};
BOOST_DESCRIBE_STRUCT(GameInstanceSettings, (),
                      (ServerUniqueIdentifier, ChannelId, ChannelPassword, Name, SoundPack, SwissChannelIds,
                       SendTalkStates, SendRadioTrafficStates, UltraShortRangeDistance, ShortRangeDistance,
                       LongRangeDistace))

template <> inline constexpr bool NullReadsAsDefault<GameInstanceSettings> = true;

} // namespace Tralvonic::Model
