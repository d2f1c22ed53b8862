#pragma once
// The envelope of every command between the game and the plugin: what the message means, which
// TeamSpeak server (and so which game instance) it concerns, and its payload as a JSON object
// that is turned into the command's record once the command is known.

#include "Model/Command.h"
#include "Model/Json.h"

#include <boost/json/object.hpp>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace Tralvonic::Model {

struct PluginCommand {
    Model::Command Command = Model::Command::PluginState;
    std::optional<std::string> ServerUniqueIdentifier;
    std::optional<boost::json::object> Parameter;

    PluginCommand() = default;
    // A command without payload (Reset, Ping, Pong); Parameter is written as null.
    PluginCommand(Model::Command command, std::optional<std::string> serverUniqueIdentifier)
        : Command(command), ServerUniqueIdentifier(std::move(serverUniqueIdentifier)) {}
    // The record is converted now, so later changes to it do not reach the message.
    template <class Record>
    requires Detail::IsRecord<Record> PluginCommand(Model::Command command,
                                                    std::optional<std::string> serverUniqueIdentifier,
                                                    const Record& parameter)
        : Command(command), ServerUniqueIdentifier(std::move(serverUniqueIdentifier)),
          Parameter(ToJsonValue(parameter).as_object()) {}

    // The longest text (value or key) a game message may hold. Names, identifiers, passwords
    // and sound files are far shorter; without the bound, each kept name could take up a whole
    // message and a game could fill the memory with a few thousand of them.
    static constexpr std::size_t MaxTextBytes = 1024;

    // Reads a message from the game. An empty text (or only white space) and the JSON literal
    // null are no envelope at all and give nullopt; anything else that does not fit the envelope,
    // or holds a text longer than MaxTextBytes, throws JsonError with a description.
    static std::optional<PluginCommand> Read(std::string_view text);

    // The payload as the record the command expects. A missing or null parameter, or a value of
    // the wrong type inside it, throws JsonError.
    template <class Record> Record ConvertParameter() const {
        if (!Parameter)
            throw JsonError("the parameter is missing or null");
        try {
            return FromJsonObject<Record>(*Parameter);
        } catch (JsonError& error) {
            error.PrependKey("Parameter");
            throw;
        }
    }

    // Compact JSON text, keys in the order above.
    std::string ToJson() const;

    bool operator==(const PluginCommand&) const = default;
};
BOOST_DESCRIBE_STRUCT(PluginCommand, (), (Command, ServerUniqueIdentifier, Parameter))

} // namespace Tralvonic::Model
