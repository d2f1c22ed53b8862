// Writes the JSON Schemas of the game protocol into a folder: one file per record, and the
// schema of a whole message (an envelope whose parameter is the record its command carries, or
// a bare error). Run by the build; docs/schema/ holds the committed copy, which a test keeps
// equal to this output.
// Usage: tralvonic-schemas OUTPUT_DIR

#include "Model/BulkUpdate.h"
#include "Model/Command.h"
#include "Model/GameInstanceSettings.h"
#include "Model/InstanceState.h"
#include "Model/JsonSchema.h"
#include "Model/JsonText.h"
#include "Model/MegaphoneCommunication.h"
#include "Model/PhoneCommunication.h"
#include "Model/PlayerState.h"
#include "Model/PluginCommand.h"
#include "Model/PluginError.h"
#include "Model/PluginState.h"
#include "Model/RadioChannelMember.h"
#include "Model/RadioChannelMemberUpdate.h"
#include "Model/RadioCommunication.h"
#include "Model/RadioTower.h"
#include "Model/RadioTrafficState.h"
#include "Model/SelfState.h"
#include "Model/Sound.h"
#include "Model/SoundState.h"
#include "Model/TalkingState.h"

#include <boost/json/serialize.hpp>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace Tralvonic::Model;
namespace Model = Tralvonic::Model;

constexpr std::string_view IdPrefix = "urn:tralvonic:schema:";
constexpr std::string_view Draft = "http://json-schema.org/draft-07/schema#";

std::string IdOf(std::string_view record) {
    return std::string(IdPrefix) + std::string(record);
}

// Which record each command carries as its parameter; empty for commands without one.
struct CommandParameter {
    Model::Command Command;
    std::string_view Record;
};
constexpr CommandParameter CommandParameters[] = {
    {Command::PluginState, "PluginState"},
    {Command::Initiate, "GameInstanceSettings"},
    {Command::Reset, ""},
    {Command::Ping, ""},
    {Command::Pong, ""},
    {Command::InstanceState, "InstanceState"},
    {Command::SoundState, "SoundState"},
    {Command::SelfStateUpdate, "SelfState"},
    {Command::PlayerStateUpdate, "PlayerState"},
    {Command::BulkUpdate, "BulkUpdate"},
    {Command::RemovePlayer, "PlayerState"},
    {Command::TalkState, "TalkingState"},
    {Command::PlaySound, "Sound"},
    {Command::StopSound, "Sound"},
    {Command::PhoneCommunicationUpdate, "PhoneCommunication"},
    {Command::StopPhoneCommunication, "PhoneCommunication"},
    {Command::RadioCommunicationUpdate, "RadioCommunication"},
    {Command::StopRadioCommunication, "RadioCommunication"},
    {Command::RadioTowerUpdate, "RadioTower"},
    {Command::RadioTrafficState, "RadioTrafficState"},
    {Command::AddRadioChannelMember, "RadioChannelMember"},
    {Command::UpdateRadioChannelMembers, "RadioChannelMemberUpdate"},
    {Command::RemoveRadioChannelMember, "RadioChannelMember"},
    {Command::MegaphoneCommunicationUpdate, "MegaphoneCommunication"},
    {Command::StopMegaphoneCommunication, "MegaphoneCommunication"},
};

// Every command of the command list has its row above.
#define TRALVONIC_COUNT_COMMAND(name, number, flow) +1
static_assert(std::size(CommandParameters) == 0 TRALVONIC_COMMANDS(TRALVONIC_COUNT_COMMAND));
#undef TRALVONIC_COUNT_COMMAND

struct Schema {
    std::string Name;
    boost::json::object Body;
};

template <class Record> Schema RecordSchema(std::string name) {
    boost::json::object body{{"$schema", Draft}, {"$id", IdOf(name)}, {"title", name}};
    for (auto& [key, value] : JsonSchema<Record>::Make()) {
        body[key] = value;
    }
    return {std::move(name), std::move(body)};
}

Schema EnvelopeSchema() {
    Schema envelope = RecordSchema<PluginCommand>("PluginCommand");
    envelope.Body["required"] = boost::json::array{"Command"};
    boost::json::array parameters;
    for (const auto& [command, record] : CommandParameters) {
        boost::json::object parameter = record.empty() ? boost::json::object{{"type", "null"}}
                                                       : boost::json::object{{"$ref", IdOf(record)}};
        parameters.push_back(boost::json::object{
            {"if", boost::json::object{{"type", "object"},
                                       {"properties",
                                        boost::json::object{{"Command",
                                                             boost::json::object{
                                                                 {"const", static_cast<int>(command)}}}}}}},
            {"then", boost::json::object{{"type", "object"},
                                         {"properties", boost::json::object{{"Parameter", parameter}}}}}});
    }
    envelope.Body["allOf"] = std::move(parameters);
    return envelope;
}

// A bare error always names its code.
Schema ErrorSchema() {
    Schema error = RecordSchema<PluginError>("PluginError");
    error.Body["required"] = boost::json::array{"Error"};
    return error;
}

Schema MessageSchema() {
    return {"Message",
            {{"$schema", Draft},
             {"$id", IdOf("Message")},
             {"title", "Message"},
             {"description",
              "A message between the game and the plugin: an envelope, or an error that the plugin "
              "sends bare"},
             {"oneOf", boost::json::array{boost::json::object{{"$ref", IdOf("PluginCommand")}},
                                          boost::json::object{{"$ref", IdOf("PluginError")}}}}}};
}

std::vector<Schema> AllSchemas() {
    return {MessageSchema(),
            EnvelopeSchema(),
            ErrorSchema(),
            RecordSchema<PluginState>("PluginState"),
            RecordSchema<GameInstanceSettings>("GameInstanceSettings"),
            RecordSchema<InstanceState>("InstanceState"),
            RecordSchema<SoundState>("SoundState"),
            RecordSchema<SelfState>("SelfState"),
            RecordSchema<PlayerState>("PlayerState"),
            RecordSchema<BulkUpdate>("BulkUpdate"),
            RecordSchema<TalkingState>("TalkingState"),
            RecordSchema<Sound>("Sound"),
            RecordSchema<PhoneCommunication>("PhoneCommunication"),
            RecordSchema<RadioCommunication>("RadioCommunication"),
            RecordSchema<RadioTower>("RadioTower"),
            RecordSchema<RadioTrafficState>("RadioTrafficState"),
            RecordSchema<RadioChannelMember>("RadioChannelMember"),
            RecordSchema<RadioChannelMemberUpdate>("RadioChannelMemberUpdate"),
            RecordSchema<MegaphoneCommunication>("MegaphoneCommunication")};
}

// Two-space indentation and one key per line, so that a changed field is a one-line diff.
void WritePretty(std::ostream& out, const boost::json::value& value, int depth) {
    const std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    const std::string inner(static_cast<std::size_t>(depth + 1) * 2, ' ');
    if (value.is_object() && !value.get_object().empty()) {
        out << "{\n";
        bool first = true;
        for (const auto& [key, member] : value.get_object()) {
            out << (first ? "" : ",\n") << inner << boost::json::serialize(boost::json::string(key)) << ": ";
            WritePretty(out, member, depth + 1);
            first = false;
        }
        out << "\n" << indent << "}";
    } else if (value.is_array() && !value.get_array().empty()) {
        out << "[\n";
        bool first = true;
        for (const auto& element : value.get_array()) {
            out << (first ? "" : ",\n") << inner;
            WritePretty(out, element, depth + 1);
            first = false;
        }
        out << "\n" << indent << "]";
    } else {
        out << WriteJsonText(value);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path folder(argv[1]);
        std::filesystem::create_directories(folder);
        for (const auto& schema : AllSchemas()) {
            std::ofstream out(folder / (schema.Name + ".schema.json"), std::ios::binary | std::ios::trunc);
            WritePretty(out, schema.Body, 0);
            out << "\n";
            if (!out) {
                std::fprintf(stderr, "cannot write %s\n", schema.Name.c_str());
                return 1;
            }
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
