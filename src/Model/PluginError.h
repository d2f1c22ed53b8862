#pragma once
// An error report to the game. It travels bare, without a PluginCommand envelope.

#include "Model/Error.h"
#include "Model/Json.h"

#include <optional>
#include <string>
#include <utility>

namespace Tralvonic::Model {

struct PluginError {
    Model::Error Error = Model::Error::OK;
    std::optional<std::string> Message;
    // Not "ServerUniqueIdentifier": the game reads this key name.
    std::optional<std::string> ServerIdentifier;

    PluginError() = default;
    explicit PluginError(Model::Error error) : Error(error) {}
    // The server comes before the message, unlike the key order.
    PluginError(Model::Error error, std::optional<std::string> serverIdentifier,
                std::optional<std::string> message)
        : Error(error), Message(std::move(message)), ServerIdentifier(std::move(serverIdentifier)) {}

    bool operator==(const PluginError&) const = default;
};
BOOST_DESCRIBE_STRUCT(PluginError, (), (Error, Message, ServerIdentifier))

} // namespace Tralvonic::Model
