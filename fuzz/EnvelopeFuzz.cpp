// The envelope of every game message: reading never fails other than with JsonError, and
// what was read writes back into an envelope with the same command, server and parameter
// keys. (Numbers inside the parameter may come back one unit in the last place off: the
// JSON parser of Boost 1.81 does not round every decimal text exactly.)

#include "Model/JsonError.h"
#include "Model/PluginCommand.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using Tralvonic::Model::PluginCommand;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::optional<PluginCommand> command;
    try {
        command = PluginCommand::Read(text);
    } catch (const Tralvonic::Model::JsonError&) {
        return 0;
    }
    if (!command)
        return 0;
    const std::string written = command->ToJson();
    const auto reread = PluginCommand::Read(written);
    if (!reread || reread->Command != command->Command ||
        reread->ServerUniqueIdentifier != command->ServerUniqueIdentifier ||
        reread->Parameter.has_value() != command->Parameter.has_value() ||
        (command->Parameter && reread->Parameter->size() != command->Parameter->size()))
        std::abort();
    return 0;
}
