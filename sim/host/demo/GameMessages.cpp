#include "GameMessages.h"

#include <boost/json/array.hpp>
#include <boost/json/object.hpp>
#include <boost/json/serialize.hpp>
#include <boost/json/value.hpp>

#include <cmath>

namespace Tralvonic::Sim::Host::Demo {

namespace json = boost::json;

double Distance(const Position& a, const Position& b) {
    const double x = a.X - b.X;
    const double y = a.Y - b.Y;
    const double z = a.Z - b.Z;
    return std::sqrt(x * x + y * y + z * z);
}

namespace {

json::value Envelope(Command command, const std::string* server, json::value parameter) {
    json::object envelope;
    envelope["Command"] = static_cast<int>(command);
    envelope["ServerUniqueIdentifier"] = server != nullptr ? json::value(*server) : json::value(nullptr);
    envelope["Parameter"] = std::move(parameter);
    return envelope;
}

json::object Vector(const Position& position) {
    return {{"X", position.X}, {"Y", position.Y}, {"Z", position.Z}};
}

json::array Names(const std::vector<std::string>& names) {
    json::array array;
    for (const auto& name : names) {
        array.emplace_back(name);
    }
    return array;
}

// An empty relay list is written as null, as the protocol's examples do.
json::value Relays(const std::vector<std::string>& names) {
    return names.empty() ? json::value(nullptr) : json::value(Names(names));
}

json::object Self(const SelfState& self) {
    return {{"Position", Vector(self.Location)},
            {"Rotation", self.Rotation},
            {"VoiceRange", self.VoiceRange},
            {"IsAlive", self.IsAlive},
            {"Echo", nullptr}};
}

json::object Player(const PlayerState& player) {
    return {
        {"Name", player.Name},       {"Position", Vector(player.Location)}, {"VoiceRange", player.VoiceRange},
        {"IsAlive", player.IsAlive}, {"VolumeOverride", nullptr},           {"DistanceCulled", false},
        {"Muffle", nullptr}};
}

json::object Radio(const RadioCommunication& radio) {
    return {{"Name", radio.Name},
            {"SenderRadioType", radio.SenderRadioType},
            {"OwnRadioType", radio.OwnRadioType},
            {"PlayMicClick", radio.PlayMicClick},
            {"Volume", nullptr},
            {"Direct", radio.Direct},
            {"Secondary", radio.Secondary},
            {"RelayedBy", Relays(radio.RelayedBy)}};
}

json::object Member(const std::string& name, bool isPrimaryChannel) {
    return {{"PlayerName", name}, {"IsPrimaryChannel", isPrimaryChannel}};
}

json::object SoundRecord(const Sound& sound) {
    return {{"Filename", sound.Filename}, {"IsLoop", sound.IsLoop}, {"Handle", sound.Handle}};
}

} // namespace

std::string GameMessages::Initiate(const InstanceSettings& settings) {
    json::array swiss;
    for (const int channel : settings.SwissChannelIds) {
        swiss.emplace_back(channel);
    }
    json::object parameter{{"ServerUniqueIdentifier", settings.ServerUniqueIdentifier},
                           {"ChannelId", settings.ChannelId},
                           {"Name", settings.Name},
                           {"SwissChannelIds", std::move(swiss)},
                           {"SendTalkStates", settings.SendTalkStates},
                           {"SendRadioTrafficStates", settings.SendRadioTrafficStates}};
    return json::serialize(Envelope(Command::Initiate, nullptr, std::move(parameter)));
}

std::string GameMessages::Ping() const {
    return json::serialize(Envelope(Command::Ping, &_server, nullptr));
}

std::string GameMessages::Pong() const {
    return json::serialize(Envelope(Command::Pong, &_server, nullptr));
}

std::string GameMessages::SelfStateUpdate(const SelfState& self) const {
    return json::serialize(Envelope(Command::SelfStateUpdate, &_server, Self(self)));
}

std::string GameMessages::PlayerStateUpdate(const PlayerState& player) const {
    return json::serialize(Envelope(Command::PlayerStateUpdate, &_server, Player(player)));
}

std::string GameMessages::BulkUpdate(const SelfState& self, const std::vector<PlayerState>& players) const {
    json::array states;
    for (const auto& player : players) {
        states.emplace_back(Player(player));
    }
    json::object parameter{{"PlayerStates", std::move(states)}, {"SelfState", Self(self)}};
    return json::serialize(Envelope(Command::BulkUpdate, &_server, std::move(parameter)));
}

std::string GameMessages::RemovePlayer(const std::string& name) const {
    return json::serialize(Envelope(Command::RemovePlayer, &_server, json::object{{"Name", name}}));
}

std::string GameMessages::RadioTowerUpdate(const std::vector<Tower>& towers) const {
    json::array array;
    for (const auto& tower : towers) {
        array.emplace_back(json::object{{"X", tower.Location.X},
                                        {"Y", tower.Location.Y},
                                        {"Z", tower.Location.Z},
                                        {"Range", tower.Range}});
    }
    return json::serialize(
        Envelope(Command::RadioTowerUpdate, &_server, json::object{{"Towers", std::move(array)}}));
}

std::string GameMessages::UpdateRadioChannelMembers(const std::vector<std::string>& names,
                                                    bool isPrimaryChannel) const {
    json::object parameter{{"PlayerNames", Names(names)}, {"IsPrimaryChannel", isPrimaryChannel}};
    return json::serialize(Envelope(Command::UpdateRadioChannelMembers, &_server, std::move(parameter)));
}

std::string GameMessages::AddRadioChannelMember(const std::string& name, bool isPrimaryChannel) const {
    return json::serialize(
        Envelope(Command::AddRadioChannelMember, &_server, Member(name, isPrimaryChannel)));
}

std::string GameMessages::RemoveRadioChannelMember(const std::string& name, bool isPrimaryChannel) const {
    return json::serialize(
        Envelope(Command::RemoveRadioChannelMember, &_server, Member(name, isPrimaryChannel)));
}

std::string GameMessages::RadioCommunicationUpdate(const RadioCommunication& radio) const {
    return json::serialize(Envelope(Command::RadioCommunicationUpdate, &_server, Radio(radio)));
}

std::string GameMessages::StopRadioCommunication(const RadioCommunication& radio) const {
    return json::serialize(Envelope(Command::StopRadioCommunication, &_server, Radio(radio)));
}

std::string GameMessages::PhoneCommunicationUpdate(const PhoneCommunication& call) const {
    json::object parameter{{"Name", call.Name},
                           {"SignalStrength", call.SignalStrength},
                           {"Volume", nullptr},
                           {"Direct", call.Direct},
                           {"RelayedBy", Relays(call.RelayedBy)}};
    return json::serialize(Envelope(Command::PhoneCommunicationUpdate, &_server, std::move(parameter)));
}

std::string GameMessages::StopPhoneCommunication(const std::string& name) const {
    return json::serialize(Envelope(Command::StopPhoneCommunication, &_server, json::object{{"Name", name}}));
}

std::string GameMessages::MegaphoneCommunicationUpdate(const MegaphoneCommunication& megaphone) const {
    json::object parameter{{"Name", megaphone.Name}, {"Range", megaphone.Range}, {"Volume", nullptr}};
    return json::serialize(Envelope(Command::MegaphoneCommunicationUpdate, &_server, std::move(parameter)));
}

std::string GameMessages::StopMegaphoneCommunication(const std::string& name) const {
    return json::serialize(
        Envelope(Command::StopMegaphoneCommunication, &_server, json::object{{"Name", name}, {"Range", 0}}));
}

std::string GameMessages::PlaySound(const Sound& sound) const {
    return json::serialize(Envelope(Command::PlaySound, &_server, SoundRecord(sound)));
}

std::string GameMessages::StopSound(const Sound& sound) const {
    return json::serialize(Envelope(Command::StopSound, &_server, SoundRecord(sound)));
}

} // namespace Tralvonic::Sim::Host::Demo
