#include "instance/GameInstance.h"

#include "instance/NameIndex.h"

#include <memory>
#include <string>
#include <utility>

namespace Tralvonic {

namespace {

template <class Entry> const std::string& NameOf(const Entry& entry) {
    return entry.Communication.Name;
}

} // namespace

void GameInstance::PublishVoicePlan() {
    if (IsApplyingBulkOnThisThread()) {
        return;
    }
    // One plan at a time, so that the last change is also the last plan published.
    std::lock_guard lock(_voicePlanMutex);
    auto plan = std::make_unique<VoicePlan>();
    plan->Owners = PlayerStates();
    plan->OwnName = Name().value_or("");
    plan->Echo = _ownState.Echo();
    if (const auto ownMegaphone = _ownState.MegaphoneCommunication()) {
        plan->OwnMegaphoneVolume = ownMegaphone->Volume.value_or(1.0f);
    }
    // Storage is installed before the plan that lets a callback use it is published.
    if (plan->Echo) {
        _ownState.EchoQueue().Reserve();
        _ownState.EchoReplayQueue().Reserve();
    }
    if (plan->OwnMegaphoneVolume) {
        _outputQueue.Reserve();
    }

    const auto phoneSnapshot = PhoneCommunications();
    const auto radioSnapshot = RadioCommunications();
    const auto megaphoneSnapshot = MegaphoneCommunications();
    const NameIndex<StoredPhoneCommunication> phones(*phoneSnapshot, NameOf<StoredPhoneCommunication>);
    const NameIndex<StoredRadioCommunication> radios(*radioSnapshot, NameOf<StoredRadioCommunication>);
    const NameIndex<StoredMegaphoneCommunication> megaphones(*megaphoneSnapshot,
                                                             NameOf<StoredMegaphoneCommunication>);

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
        if (const auto* phone = phones.Find(owner->Name())) {
            player.Phone = ToPhoneVoice(phone->Communication, plan->OwnName);
        }
        if (const auto* radio = radios.Find(owner->Name())) {
            player.Radio = ToRadioVoice(radio->Communication, radio->Reception.InRange,
                                        radio->Reception.Relay != nullptr, plan->OwnName);
        }
        if (const auto* megaphone = megaphones.Find(owner->Name())) {
            player.Megaphone = ToMegaphoneVoice(megaphone->Communication);
        }
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

} // namespace Tralvonic
