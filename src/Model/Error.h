#pragma once
// Error codes reported to the game in a PluginError. Numbers are the wire format.

#include <boost/describe/enum.hpp>

#include <cstdint>

namespace Tralvonic::Model {

enum class Error : std::int32_t {
    // The success result of starting an instance; never sent.
    OK = 0,
    InvalidJson = 1,
    NotConnectedToServer = 2,
    AlreadyInGame = 3,
    ChannelNotAvailable = 4,
    NameNotAvailable = 5,
    InvalidValue = 6,
};
BOOST_DESCRIBE_ENUM(Error, OK, InvalidJson, NotConnectedToServer, AlreadyInGame, ChannelNotAvailable,
                    NameNotAvailable, InvalidValue)

} // namespace Tralvonic::Model
