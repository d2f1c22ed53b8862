#include "instance/VoicePlan.h"

#include <algorithm>

namespace Tralvonic {

namespace {

bool IsRelayedBy(const std::vector<std::string>& relayedBy, std::string_view ownName) {
    return !ownName.empty() && std::find(relayedBy.begin(), relayedBy.end(), ownName) != relayedBy.end();
}

} // namespace

const VoicePlayer* VoicePlan::FindByClient(TeamSpeak::anyID clientId) const {
    const auto found = std::find_if(Players.begin(), Players.end(), [clientId](const VoicePlayer& player) {
        return player.ClientId && *player.ClientId == clientId;
    });
    return found != Players.end() ? &*found : nullptr;
}

std::optional<PhoneVoice> ToPhoneVoice(const Model::PhoneCommunication& phone, std::string_view ownName) {
    if (!phone.Direct) {
        return std::nullopt;
    }
    return PhoneVoice{phone.Volume.value_or(1.0f), IsRelayedBy(phone.RelayedBy, ownName)};
}

std::optional<RadioVoice> ToRadioVoice(const Model::RadioCommunication& radio, bool inRange, bool hasRelay,
                                       std::string_view ownName) {
    if (!inRange || !radio.Direct || hasRelay) {
        return std::nullopt;
    }
    return RadioVoice{radio.Volume.value_or(1.0f), radio.Secondary, IsRelayedBy(radio.RelayedBy, ownName)};
}

MegaphoneVoice ToMegaphoneVoice(const Model::MegaphoneCommunication& megaphone) {
    return MegaphoneVoice{megaphone.Range, megaphone.Volume};
}

} // namespace Tralvonic
