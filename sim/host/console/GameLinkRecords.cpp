#include "GameLinkRecords.h"

#include <boost/json/parse.hpp>

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <utility>

namespace Tralvonic::Sim::Host {

namespace json = boost::json;

namespace {

struct CommandName {
    std::int64_t Number;
    const char* Name;
};

// The plugin's own messages the console lists, by command number.
constexpr std::array<CommandName, 7> ListedCommands{{{0, "PluginState"},
                                                     {2, "Reset"},
                                                     {5, "InstanceState"},
                                                     {6, "SoundState"},
                                                     {11, "TalkState"},
                                                     {33, "RadioTrafficState"},
                                                     {-1, "PluginError"}}};

std::string Now() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis));
    return text;
}

std::string TextOf(const json::object& object, std::string_view key) {
    const auto* value = object.if_contains(key);
    return value != nullptr && value->is_string() ? std::string(value->as_string()) : std::string();
}

// The command number of an envelope; -1 for a bare error; absent for anything else.
std::optional<std::int64_t> CommandOf(const json::object& message) {
    if (const auto* command = message.if_contains("Command"); command != nullptr) {
        return command->is_int64() ? std::optional(command->as_int64()) : std::nullopt;
    }
    return message.contains("Error") ? std::optional<std::int64_t>(-1) : std::nullopt;
}

} // namespace

void GameLinkRecords::SetConnected(bool connected) {
    std::lock_guard lock(_mutex);
    _connected = connected;
    if (!connected) {
        // States of a plugin the console no longer hears are no longer known.
        _activeInstances.reset();
        _instances.clear();
    }
}

void GameLinkRecords::Add(std::string_view text) {
    json::error_code error;
    const json::value parsed = json::parse(text, error);
    if (error || !parsed.is_object()) {
        return;
    }
    const json::object& message = parsed.as_object();
    const auto command = CommandOf(message);
    const char* kind = nullptr;
    for (const auto& listed : ListedCommands) {
        kind = command == listed.Number ? listed.Name : kind;
    }
    if (kind == nullptr) {
        return;
    }
    GameLinkRecord record{0, Now(), kind,
                          TextOf(message, *command == -1 ? "ServerIdentifier" : "ServerUniqueIdentifier"),
                          std::string(text.substr(0, MaxTextBytes))};
    const auto* parameter = message.if_contains("Parameter");
    const json::object* state = parameter != nullptr ? parameter->if_object() : nullptr;
    std::lock_guard lock(_mutex);
    if (*command == 0 && state != nullptr) {
        if (const auto* count = state->if_contains("ActiveInstances");
            count != nullptr && count->is_int64()) {
            _activeInstances = count->as_int64();
        }
    } else if (*command == 5 && state != nullptr) {
        _instances[record.ServerUniqueIdentifier] = *state;
    } else if (*command == 2) {
        _instances.erase(record.ServerUniqueIdentifier);
    }
    record.Number = ++_kept;
    _records.push_back(std::move(record));
    if (_records.size() > MaxRecords) {
        _records.pop_front();
    }
}

json::object GameLinkRecords::Snapshot() const {
    std::lock_guard lock(_mutex);
    json::object snapshot;
    snapshot["Address"] = "ws://" + _address;
    snapshot["IsConnected"] = _connected;
    snapshot["ActiveInstances"] = _activeInstances ? json::value(*_activeInstances) : json::value(nullptr);
    json::array instances;
    for (const auto& [server, state] : _instances) {
        json::object instance = state;
        instance["ServerUniqueIdentifier"] = server;
        instances.push_back(std::move(instance));
    }
    snapshot["Instances"] = std::move(instances);
    json::array records;
    for (const auto& record : _records) {
        records.push_back(json::object{{"Number", record.Number},
                                       {"Time", record.Time},
                                       {"Kind", record.Kind},
                                       {"ServerUniqueIdentifier", record.ServerUniqueIdentifier},
                                       {"Text", record.Text}});
    }
    snapshot["Records"] = std::move(records);
    return snapshot;
}

std::vector<GameLinkRecord> GameLinkRecords::Records() const {
    std::lock_guard lock(_mutex);
    return {_records.begin(), _records.end()};
}

} // namespace Tralvonic::Sim::Host
