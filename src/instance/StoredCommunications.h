#pragma once
// What the instance keeps per stored communication: the game's record and what the last
// recalculation derived from it. Plain values, so a list snapshot holds one consistent state
// of every entry for the audio side (which reads volumes, relays and distortions per block).

#include "Model/MegaphoneCommunication.h"
#include "Model/PhoneCommunication.h"
#include "Model/RadioCommunication.h"

#include <memory>

namespace Tralvonic {

class PlayerState;

// What the last recalculation worked out for a transmission of another player.
struct RadioReception {
    // The transmission reaches the user, directly or through Relay.
    bool InRange = false;
    // The player whose radio the user hears it from; null when direct or out of range.
    std::shared_ptr<PlayerState> Relay;
    // The value last handed to the effect library; meaningful only while InRange.
    float Distortion = 0.0f;

    bool operator==(const RadioReception&) const = default;
};

struct StoredRadioCommunication {
    Model::RadioCommunication Communication;
    RadioReception Reception;
};

// What the last recalculation worked out for a call.
struct PhoneReception {
    // The player whose phone the user hears the call from; null when direct or not heard.
    std::shared_ptr<PlayerState> Relay;

    bool operator==(const PhoneReception&) const = default;
};

struct StoredPhoneCommunication {
    Model::PhoneCommunication Communication;
    PhoneReception Reception;
};

// Another player's megaphone; the user's own is kept in his own state, never in the list.
struct StoredMegaphoneCommunication {
    Model::MegaphoneCommunication Communication;
};

} // namespace Tralvonic
