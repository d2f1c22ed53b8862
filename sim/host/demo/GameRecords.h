#pragma once
// The game's own records of the built-in game session, as a game script keeps them: where the
// user and the players stand, the radio, phone and megaphone communications and the sounds.
// GameMessages writes them with the protocol's JSON names; the scene changes them step by step.

#include <optional>
#include <string>
#include <vector>

namespace Tralvonic::Sim::Host::Demo {

// Game coordinates; the scene keeps them whole so the messages read plainly.
struct Position {
    int X = 0;
    int Y = 0;
    int Z = 0;
};

double Distance(const Position& a, const Position& b);

struct InstanceSettings {
    std::string ServerUniqueIdentifier;
    int ChannelId = 0;
    std::string Name;
    std::vector<int> SwissChannelIds;
    bool SendTalkStates = true;
    bool SendRadioTrafficStates = true;
};

struct SelfState {
    Position Location;
    int Rotation = 0; // heading in degrees
    int VoiceRange = 0;
    bool IsAlive = true;
};

struct PlayerState {
    std::string Name;
    Position Location;
    int VoiceRange = 0;
    bool IsAlive = true;
};

// The protocol's radio flag set.
enum RadioType : int {
    NoRadio = 1,
    ShortRange = 2,
    LongRange = 4,
    Distributed = 8,
    UltraShortRange = 16,
};

struct Tower {
    Position Location;
    int Range = 8000;
};

struct RadioCommunication {
    std::string Name; // the sender; the user's own name for his own transmission
    int SenderRadioType = LongRange;
    int OwnRadioType = LongRange;
    bool PlayMicClick = true;
    bool Direct = true;
    bool Secondary = false;
    std::vector<std::string> RelayedBy;
};

struct PhoneCommunication {
    std::string Name; // the call partner
    int SignalStrength = 20;
    bool Direct = true;
    std::vector<std::string> RelayedBy;
};

struct MegaphoneCommunication {
    std::string Name; // the speaker; the user's own name for his own megaphone
    int Range = 0;
};

struct Sound {
    std::string Filename; // without ".wav"
    bool IsLoop = false;
    std::string Handle;
};

} // namespace Tralvonic::Sim::Host::Demo
