#pragma once
// The command numbers of the game protocol. The numbers are the wire format: never renumber
// or reuse one. Gaps (12-17, 22-29, 34-36) are unassigned; an envelope still carries such a
// number as it arrived, and the dispatch decides that it cannot be executed.

#include <boost/describe/enum.hpp>

#include <cstdint>

namespace Tralvonic::Model {

enum class Command : std::int32_t {
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
BOOST_DESCRIBE_ENUM(Command, PluginState, Initiate, Reset, Ping, Pong, InstanceState, SoundState,
                    SelfStateUpdate, PlayerStateUpdate, BulkUpdate, RemovePlayer, TalkState, PlaySound,
                    StopSound, PhoneCommunicationUpdate, StopPhoneCommunication, RadioCommunicationUpdate,
                    StopRadioCommunication, RadioTowerUpdate, RadioTrafficState, AddRadioChannelMember,
                    UpdateRadioChannelMembers, RemoveRadioChannelMember, MegaphoneCommunicationUpdate,
                    StopMegaphoneCommunication)

} // namespace Tralvonic::Model
