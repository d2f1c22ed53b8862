#pragma once
// Where a game instance stands with its TeamSpeak server; reported to the game by number.

#include <boost/describe/enum.hpp>

#include <cstdint>

namespace Tralvonic::Model {

enum class GameInstanceState : std::int32_t {
    NotConnected = 0,
    Connected = 1,
    Ingame = 2,
    // Connected, but the user sits in a channel the game leaves alone.
    InSwissChannel = 3,
};
BOOST_DESCRIBE_ENUM(GameInstanceState, NotConnected, Connected, Ingame, InSwissChannel)

} // namespace Tralvonic::Model
