#include "Model/PluginCommand.h"

#include "Model/Text.h"

namespace Tralvonic::Model {

std::optional<PluginCommand> PluginCommand::Read(std::string_view text) {
    if (IsBlank(text))
        return std::nullopt;
    boost::json::value json = ParseJsonText(text);
    if (json.is_null())
        return std::nullopt;
    // The parameter is most of a message (all of a BulkUpdate's players): it is moved into
    // the envelope, not copied. Any other kind of value stays for the reader to refuse.
    std::optional<boost::json::object> parameter;
    if (auto* object = json.if_object()) {
        const auto* member = Detail::FindMember(*object, "Parameter");
        if (member != nullptr && member->is_object()) {
            auto& value = const_cast<boost::json::value&>(*member);
            parameter = std::move(value.get_object());
            value = nullptr;
        }
    }
    auto command = FromJson<PluginCommand>(json);
    if (parameter)
        command.Parameter = std::move(parameter);
    return command;
}

std::string PluginCommand::ToJson() const {
    return SerializeJson(*this);
}

} // namespace Tralvonic::Model
