#include "Model/PluginCommand.h"

#include <algorithm>
#include <cctype>

namespace Tralvonic::Model {
namespace {

bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

} // namespace

std::optional<PluginCommand> PluginCommand::Read(std::string_view text) {
    if (IsBlank(text)) return std::nullopt;
    const boost::json::value json = ParseJsonText(text);
    if (json.is_null()) return std::nullopt;
    return FromJson<PluginCommand>(json);
}

std::string PluginCommand::ToJson() const { return SerializeJson(*this); }

} // namespace Tralvonic::Model
