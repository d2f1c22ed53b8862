#include "Model/PluginCommand.h"

#include "Model/Text.h"

namespace Tralvonic::Model {

std::optional<PluginCommand> PluginCommand::Read(std::string_view text) {
    if (IsBlank(text))
        return std::nullopt;
    const boost::json::value json = ParseJsonText(text);
    if (json.is_null())
        return std::nullopt;
    return FromJson<PluginCommand>(json);
}

std::string PluginCommand::ToJson() const {
    return SerializeJson(*this);
}

} // namespace Tralvonic::Model
