#pragma once
// The game's side of the built-in session's scene at one moment: who stands where, the radio
// nets with their towers, the transmissions, calls, megaphones and sounds, and the step being
// played. The steps change it; SceneView publishes it for the console.

#include "GameRecords.h"

#include <string>
#include <vector>

namespace Tralvonic::Sim::Host::Demo {

struct RadioNet {
    std::string Frequency; // the game's name for the net; the plugin knows it as primary or secondary
    bool IsPrimary = true;
    std::vector<std::string> Members; // the user included
};

struct Transmission {
    std::string Name;
    std::string Frequency;
};

struct PhoneCall {
    std::string Caller;
    std::string Partner;
};

struct SceneState {
    std::string SelfName;
    SelfState Self;
    std::vector<PlayerState> Players;
    std::vector<Tower> Towers;
    std::vector<RadioNet> Radios;
    std::vector<Transmission> Transmissions;
    std::vector<PhoneCall> Phones;
    std::vector<MegaphoneCommunication> Megaphones;
    std::vector<std::string> Sounds; // handles of the sounds playing
    std::string Step;

    // Null when no player has that name.
    PlayerState* FindPlayer(const std::string& name);
};

} // namespace Tralvonic::Sim::Host::Demo
