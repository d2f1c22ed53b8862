#include "Model/PluginCommand.h"

#include "Model/Text.h"

#include <string>
#include <vector>

namespace Tralvonic::Model {

namespace {

void ThrowIfTooLong(std::size_t bytes) {
    if (bytes > PluginCommand::MaxTextBytes) {
        throw JsonError("a text of " + std::to_string(bytes) + " bytes is longer than the " +
                        std::to_string(PluginCommand::MaxTextBytes) + " bytes a message may hold");
    }
}

// Every string and key of the message, without recursion: the parser bounds the nesting, but
// the walk needs no stack of its own for that.
void CheckTextLengths(const boost::json::value& root) {
    std::vector<const boost::json::value*> pending{&root};
    while (!pending.empty()) {
        const boost::json::value& value = *pending.back();
        pending.pop_back();
        if (const auto* text = value.if_string()) {
            ThrowIfTooLong(text->size());
        } else if (const auto* object = value.if_object()) {
            for (const auto& member : *object) {
                ThrowIfTooLong(member.key().size());
                pending.push_back(&member.value());
            }
        } else if (const auto* array = value.if_array()) {
            for (const auto& element : *array) {
                pending.push_back(&element);
            }
        }
    }
}

} // namespace

std::optional<PluginCommand> PluginCommand::Read(std::string_view text) {
    if (IsBlank(text))
        return std::nullopt;
    boost::json::value json = ParseJsonText(text);
    if (json.is_null())
        return std::nullopt;
    CheckTextLengths(json);
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
