#pragma once
// The command numbers of the game protocol. The numbers are the wire format: never renumber
// or reuse one. Gaps (12-17, 22-29, 34-36) are unassigned; an envelope still carries such a
// number as it arrived, and the dispatch decides that it cannot be executed.

#include <boost/describe/enum.hpp>

#include <cstdint>

namespace Tralvonic::Model {

// The one list of commands: X(Name, Number, Flow). Flow says who sends the command:
// ToGame (only the plugin sends it), Initiate (the game starts an instance with it) or Routed
// (the game sends it to a running instance; the dispatch must have a row for it).
// clang-format off
#define TRALVONIC_COMMANDS(X)                  \
    X(PluginState, 0, ToGame)                  \
    X(Initiate, 1, Initiate)                   \
    X(Reset, 2, ToGame)                        \
    X(Ping, 3, Routed)                         \
    X(Pong, 4, Routed)                         \
    X(InstanceState, 5, ToGame)                \
    X(SoundState, 6, ToGame)                   \
    X(SelfStateUpdate, 7, Routed)              \
    X(PlayerStateUpdate, 8, Routed)            \
    X(BulkUpdate, 9, Routed)                   \
    X(RemovePlayer, 10, Routed)                \
    X(TalkState, 11, ToGame)                   \
    X(PlaySound, 18, Routed)                   \
    X(StopSound, 19, Routed)                   \
    X(PhoneCommunicationUpdate, 20, Routed)    \
    X(StopPhoneCommunication, 21, Routed)      \
    X(RadioCommunicationUpdate, 30, Routed)    \
    X(StopRadioCommunication, 31, Routed)      \
    X(RadioTowerUpdate, 32, Routed)            \
    X(RadioTrafficState, 33, ToGame)           \
    X(AddRadioChannelMember, 37, Routed)       \
    X(UpdateRadioChannelMembers, 38, Routed)   \
    X(RemoveRadioChannelMember, 39, Routed)    \
    X(MegaphoneCommunicationUpdate, 40, Routed)\
    X(StopMegaphoneCommunication, 41, Routed)
// clang-format on

#define TRALVONIC_COMMAND_ENUMERATOR(name, number, flow) name = number,
enum class Command : std::int32_t { TRALVONIC_COMMANDS(TRALVONIC_COMMAND_ENUMERATOR) };
#undef TRALVONIC_COMMAND_ENUMERATOR

#define TRALVONIC_COMMAND_NAME(name, number, flow) BOOST_DESCRIBE_ENUM_ENTRY(Command, name)
BOOST_DESCRIBE_ENUM_BEGIN(Command)
TRALVONIC_COMMANDS(TRALVONIC_COMMAND_NAME)
BOOST_DESCRIBE_ENUM_END(Command)
#undef TRALVONIC_COMMAND_NAME

} // namespace Tralvonic::Model
