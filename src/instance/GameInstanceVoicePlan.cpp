#include "instance/GameInstance.h"

#include <memory>
#include <utility>

namespace Tralvonic {

void GameInstance::PublishVoicePlan() {
    // One plan at a time, so that the last change is also the last plan published.
    std::lock_guard lock(_voicePlanMutex);
    auto plan = std::make_unique<VoicePlan>();
    plan->Owners = PlayerStates();
    plan->OwnName = Name().value_or("");
    plan->Echo = _ownState.Echo();
    plan->OwnMegaphoneVolume = OwnMegaphoneVolume();
    // Storage is installed before the plan that lets a callback use it is published.
    if (plan->Echo) {
        _ownState.EchoQueue().Reserve();
        _ownState.EchoReplayQueue().Reserve();
    }
    if (plan->OwnMegaphoneVolume) {
        _outputQueue.Reserve();
    }

    plan->Players.reserve(plan->Owners.size());
    for (const auto& owner : plan->Owners) {
        const auto voice = owner->Voice();
        const auto client = owner->Client();
        VoicePlayer player;
        player.Player = owner.get();
        if (client && !client->IsZero()) {
            player.ClientId = client->Id();
        }
        player.IsAlive = voice.IsAlive;
        player.InRange = IsPlayerInRange(*owner);
        player.Distance = owner->Distance();
        player.VoiceRange = voice.VoiceRange;
        player.VolumeOverride = voice.VolumeOverride;
        player.IsMuffled = voice.Muffle.has_value();
        player.Phone = PhoneVoiceOf(owner->Name());
        player.Radio = RadioVoiceOf(owner->Name());
        player.Megaphone = MegaphoneVoiceOf(owner->Name());
        if (player.Phone || player.Radio) {
            owner->EffectQueue().Reserve();
        }
        if ((player.Phone && player.Phone->IsRelayedByUser) ||
            (player.Radio && player.Radio->IsRelayedByUser)) {
            owner->RelayQueue().Reserve();
        }
        if (player.Megaphone) {
            owner->MegaphoneQueue().Reserve();
        }
        plan->Players.push_back(std::move(player));
    }
    // The replaced plan dies here, on this thread, with the last references to removed players.
    const auto replaced = _voicePlan.Publish(std::move(plan));
}

// TODO(issue 10): the direct call with this player from _phoneCommunications, through
// ToPhoneVoice under the list's mutex.
std::optional<PhoneVoice> GameInstance::PhoneVoiceOf(const std::string& /*name*/) const {
    return std::nullopt;
}

// TODO(issue 10): this player's transmission from _radioCommunications, through ToRadioVoice
// with its InRange and Relay, under the list's mutex.
std::optional<RadioVoice> GameInstance::RadioVoiceOf(const std::string& /*name*/) const {
    return std::nullopt;
}

// TODO(issue 10): this player's megaphone from _megaphoneCommunications, through
// ToMegaphoneVoice under the list's mutex.
std::optional<MegaphoneVoice> GameInstance::MegaphoneVoiceOf(const std::string& /*name*/) const {
    return std::nullopt;
}

// TODO(issue 10): the own megaphone's Volume (or 1) while OwnState().MegaphoneCommunication is set.
std::optional<float> GameInstance::OwnMegaphoneVolume() const {
    return std::nullopt;
}

} // namespace Tralvonic
