#include "PluginReports.h"

#include "GameMessages.h"

#include <boost/json/parse.hpp>
#include <boost/json/serialize.hpp>
#include <boost/json/value.hpp>

#include <array>
#include <system_error>

namespace Tralvonic::Sim::Host::Demo {

namespace json = boost::json;

namespace {

constexpr std::array<const char*, 4> StateNames{"NotConnected", "Connected", "Ingame", "InSwissChannel"};

const json::value* Member(const json::object& object, std::string_view key) {
    return object.if_contains(key);
}

bool Flag(const json::object& object, std::string_view key) {
    const auto* value = Member(object, key);
    return value != nullptr && value->is_bool() && value->get_bool();
}

std::string Text(const json::object& object, std::string_view key) {
    const auto* value = Member(object, key);
    return value != nullptr && value->is_string() ? std::string(value->get_string()) : std::string();
}

long long Number(const json::object& object, std::string_view key, long long otherwise) {
    const auto* value = Member(object, key);
    return value != nullptr && value->is_int64() ? value->get_int64() : otherwise;
}

std::string Either(bool flag, const char* yes, const char* no) {
    return flag ? yes : no;
}

void ReadInstanceState(const json::object& parameter, PluginReport& report) {
    report.State = static_cast<int>(Number(parameter, "State", -1));
    const bool known = report.State >= 0 && report.State < static_cast<int>(StateNames.size());
    report.Description = "InstanceState: " +
                         (known ? std::string(StateNames[static_cast<std::size_t>(report.State)])
                                : "state " + std::to_string(report.State)) +
                         " (" + Either(Flag(parameter, "IsConnectedToServer"), "connected", "not connected") +
                         ", " + Either(Flag(parameter, "IsReady"), "ready", "not ready") + ")";
}

void ReadSoundState(const json::object& parameter, PluginReport& report) {
    report.Description = "SoundState: microphone " +
                         Either(Flag(parameter, "IsMicrophoneMuted"), "muted", "not muted") + ", " +
                         Either(Flag(parameter, "IsMicrophoneEnabled"), "enabled", "disabled") +
                         "; speakers " + Either(Flag(parameter, "IsSoundMuted"), "muted", "not muted") +
                         ", " + Either(Flag(parameter, "IsSoundEnabled"), "enabled", "disabled");
}

void ReadTalkState(const json::object& parameter, PluginReport& report) {
    report.Name = Text(parameter, "Name");
    report.IsOn = Flag(parameter, "IsTalking");
    report.Description = "TalkState: " + report.Name + Either(report.IsOn, " is talking", " stopped talking");
}

void ReadRadioTrafficState(const json::object& parameter, PluginReport& report) {
    report.Name = Text(parameter, "Name");
    report.IsOn = Flag(parameter, "IsSending");
    const std::string relay = Text(parameter, "ActiveRelay");
    report.Description = "RadioTrafficState: " + report.Name +
                         Either(report.IsOn, " sends", " stopped sending") + " on the " +
                         Either(Flag(parameter, "IsPrimaryChannel"), "primary", "secondary") + " channel" +
                         (relay.empty() ? "" : ", heard through " + relay);
}

void ReadEnvelope(const json::object& envelope, const std::string& text, PluginReport& report) {
    report.Command = static_cast<int>(Number(envelope, "Command", PluginReport::BareError));
    const auto* parameterValue = Member(envelope, "Parameter");
    static const json::object None;
    const json::object& parameter =
        parameterValue != nullptr && parameterValue->is_object() ? parameterValue->get_object() : None;
    switch (static_cast<Demo::Command>(report.Command)) {
    case Command::PluginState:
        report.Description = "PluginState: " + std::to_string(Number(parameter, "ActiveInstances", 0)) +
                             " active instance(s), version " + Text(parameter, "Version");
        return;
    case Command::Reset:
        report.Description = "Reset: the plugin ended the instance";
        return;
    case Command::Ping:
        report.Description = "Ping";
        return;
    case Command::Pong:
        report.Description = "Pong";
        return;
    case Command::InstanceState:
        ReadInstanceState(parameter, report);
        return;
    case Command::SoundState:
        ReadSoundState(parameter, report);
        return;
    case Command::TalkState:
        ReadTalkState(parameter, report);
        return;
    case Command::RadioTrafficState:
        ReadRadioTrafficState(parameter, report);
        return;
    default:
        report.Description = "command " + std::to_string(report.Command) + ": " + text;
        return;
    }
}

} // namespace

std::optional<PluginReport> ReadReport(std::string_view text) {
    std::error_code error;
    const json::value message = json::parse(text, error);
    if (error || !message.is_object()) {
        return std::nullopt;
    }
    const json::object& object = message.get_object();
    PluginReport report;
    if (Member(object, "Command") != nullptr) {
        ReadEnvelope(object, std::string(text), report);
    } else {
        report.Description = "PluginError " + std::to_string(Number(object, "Error", 0)) + ": " +
                             (Text(object, "Message").empty() ? "(no message)" : Text(object, "Message"));
    }
    return report;
}

} // namespace Tralvonic::Sim::Host::Demo
