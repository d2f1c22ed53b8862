#pragma once
// The messages the built-in game session sends, written as a game script writes them: one
// envelope {"Command":N,"ServerUniqueIdentifier":"…","Parameter":{…}} per message, with the
// protocol's exact key names and numbers (docs/protocol.md). The session is a game, not part of
// the plugin, so it spells the protocol out itself instead of borrowing the plugin's records.

#include "GameRecords.h"

#include <string>
#include <utility>
#include <vector>

namespace Tralvonic::Sim::Host::Demo {

// The protocol's command numbers that the session sends or reads.
enum class Command : int {
    PluginState = 0,
    Initiate = 1,
    Reset = 2,
    Ping = 3,
    Pong = 4,
    InstanceState = 5,
    SoundState = 6,
    SelfStateUpdate = 7,
    PlayerStateUpdate = 8,
    BulkUpdate = 9,
    RemovePlayer = 10,
    TalkState = 11,
    PlaySound = 18,
    StopSound = 19,
    PhoneCommunicationUpdate = 20,
    StopPhoneCommunication = 21,
    RadioCommunicationUpdate = 30,
    StopRadioCommunication = 31,
    RadioTowerUpdate = 32,
    RadioTrafficState = 33,
    AddRadioChannelMember = 37,
    UpdateRadioChannelMembers = 38,
    RemoveRadioChannelMember = 39,
    MegaphoneCommunicationUpdate = 40,
    StopMegaphoneCommunication = 41,
};

// Every message but Initiate carries the instance's server in its envelope.
class GameMessages {
public:
    explicit GameMessages(std::string serverUniqueIdentifier) : _server(std::move(serverUniqueIdentifier)) {}

    // Initiate names its server in the parameter; the envelope's is null.
    static std::string Initiate(const InstanceSettings& settings);

    std::string Ping() const;
    std::string Pong() const;
    std::string SelfStateUpdate(const SelfState& self) const;
    std::string PlayerStateUpdate(const PlayerState& player) const;
    std::string BulkUpdate(const SelfState& self, const std::vector<PlayerState>& players) const;
    std::string RemovePlayer(const std::string& name) const;

    std::string RadioTowerUpdate(const std::vector<Tower>& towers) const;
    std::string UpdateRadioChannelMembers(const std::vector<std::string>& names, bool isPrimaryChannel) const;
    std::string AddRadioChannelMember(const std::string& name, bool isPrimaryChannel) const;
    std::string RemoveRadioChannelMember(const std::string& name, bool isPrimaryChannel) const;
    std::string RadioCommunicationUpdate(const RadioCommunication& radio) const;
    std::string StopRadioCommunication(const RadioCommunication& radio) const;

    std::string PhoneCommunicationUpdate(const PhoneCommunication& call) const;
    std::string StopPhoneCommunication(const std::string& name) const;
    std::string MegaphoneCommunicationUpdate(const MegaphoneCommunication& megaphone) const;
    // A stop carries range 0, which also ends the megaphone for a plugin that reads only Range.
    std::string StopMegaphoneCommunication(const std::string& name) const;

    std::string PlaySound(const Sound& sound) const;
    std::string StopSound(const Sound& sound) const;

private:
    std::string _server;
};

} // namespace Tralvonic::Sim::Host::Demo
