#pragma once
// What the voice callbacks need to know about the players, resolved off the audio path and
// published as one immutable snapshot (RealtimeSnapshot): every player in the order of the
// player table, with the values his voice depends on and the calls, radios and megaphones
// that concern him. A new plan is published after every change of the players, of their
// bindings or of the communications; the audio path reads only the plan it borrowed.

#include "Model/MegaphoneCommunication.h"
#include "Model/PhoneCommunication.h"
#include "Model/RadioCommunication.h"
#include "Model/SelfState.h"
#include "TeamSpeak/sdk/HostTypes.h"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic {

class PlayerState;

// A direct phone call with the player.
struct PhoneVoice {
    float Volume = 1.0f;
    // The user's phone plays the call aloud: it goes into his microphone too.
    bool IsRelayedByUser = false;
};

// The player's radio transmission, received directly and in range.
struct RadioVoice {
    float Volume = 1.0f;
    bool Secondary = false;
    bool IsRelayedByUser = false;
};

struct MegaphoneVoice {
    float Range = 0.0f;
    std::optional<float> Volume;
};

struct VoicePlayer {
    // Lives as long as the plan: the plan holds a reference in Owners.
    PlayerState* Player = nullptr;
    std::optional<TeamSpeak::anyID> ClientId;
    bool IsAlive = true;
    // Not distance-culled and his voice range reaches the user.
    bool InRange = false;
    float Distance = 0.0f;
    float VoiceRange = 0.0f;
    std::optional<float> VolumeOverride;
    bool IsMuffled = false;
    std::optional<PhoneVoice> Phone;
    std::optional<RadioVoice> Radio;
    std::optional<MegaphoneVoice> Megaphone;
};

struct VoicePlan {
    std::vector<std::shared_ptr<PlayerState>> Owners;
    std::vector<VoicePlayer> Players;
    // The user's in-game name as the effect library knows him.
    std::string OwnName;
    std::optional<Model::EchoEffect> Echo;
    // The user speaks through a megaphone; its gain, 1 unless the game set one.
    std::optional<float> OwnMegaphoneVolume;

    // The first player bound to this client, as the table orders them; null when none.
    const VoicePlayer* FindByClient(TeamSpeak::anyID clientId) const;
};

// How a stored communication sounds to the user named `ownName`. A call is heard here only
// when the user is on it himself; a transmission only when it reaches him directly, in range
// and without a relay player (a relayed one is heard through the relay player's voice).
std::optional<PhoneVoice> ToPhoneVoice(const Model::PhoneCommunication& phone, std::string_view ownName);
std::optional<RadioVoice> ToRadioVoice(const Model::RadioCommunication& radio, bool inRange, bool hasRelay,
                                       std::string_view ownName);
MegaphoneVoice ToMegaphoneVoice(const Model::MegaphoneCommunication& megaphone);

} // namespace Tralvonic
