#include "instance/GameInstance.h"

#include "Model/PluginError.h"
#include "core/Logger.h"
#include "effects/VoiceDistortion.h"
#include "instance/CallPartner.h"
#include "instance/RelayChoice.h"
#include "instance/TargetPlayers.h"
#include "link/Messages.h"

#include <algorithm>
#include <string>
#include <utility>

namespace Tralvonic {

namespace {

constexpr LogChannel Log = LogChannel::GameInstance;

constexpr float MaxPhoneVolume = 1.6f;
constexpr std::int32_t MaxSignalStrength = 20;
constexpr std::size_t MaxPhoneCommunications = 1024;

void Report(const std::optional<std::string>& server, const char* message, const char* warning) {
    BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, server, message));
    Logger::LogWarning(warning, Log);
}

// Caps volume and signal strength; the call goes on with the capped values.
void CapValues(Model::PhoneCommunication& phone, const std::optional<std::string>& server) {
    if (phone.Volume && *phone.Volume > MaxPhoneVolume) {
        phone.Volume = MaxPhoneVolume;
        Report(server, "PhoneCommunication.Volume has to be >= 0f and <= 1.6f",
               "A PhoneCommunication had a volume of more then 1.6f, capped it.");
    } else if (phone.Volume && *phone.Volume < 0.0f) {
        phone.Volume = 0.0f;
        Report(server, "PhoneCommunication.Volume has to be >= 0f",
               "A PhoneCommunication had a volume lower then 0.0f, capped it.");
    }
    if (phone.SignalStrength && *phone.SignalStrength > MaxSignalStrength) {
        phone.SignalStrength = MaxSignalStrength;
        Report(server, "PhoneCommunication.SignalStrength has to be <= 20",
               "A PhoneCommunication had a signal strength of more then 20, capped it.");
    } else if (phone.SignalStrength && *phone.SignalStrength < 0) {
        phone.SignalStrength = 0;
        Report(server, "PhoneCommunication.SignalStrength has to be >= 0",
               "A PhoneCommunication had a signal strength lower then 0, capped it.");
    }
}

// The library takes the signal strength itself: 20 is a full signal, 0 none.
float SignalDistortion(const Model::PhoneCommunication& phone) {
    return static_cast<float>(std::max(phone.SignalStrength.value_or(0), 0));
}

} // namespace

void GameInstance::OnPhoneCommunicationUpdate(Model::PhoneCommunication phone) {
    CapValues(phone, ServerUniqueIdentifier());
    if (!phone.SignalStrength) {
        // No signal: the call ended.
        RemovePhoneCommunication(phone.Name);
        CalculateProximityChat();
        return;
    }
    if (phone.RelayedBy.size() > MaxRelays) {
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(),
                                           "PhoneCommunication.RelayedBy has to hold <= 64 names"));
        return;
    }
    const auto stored =
        _phoneCommunications.AddOrUpdate(StoredPhoneCommunication{phone, PhoneReception{}},
                                         MaxPhoneCommunications, [&](StoredPhoneCommunication& entry) {
                                             entry.Communication.SignalStrength = phone.SignalStrength;
                                             entry.Communication.Volume = phone.Volume;
                                             entry.Communication.Direct = phone.Direct;
                                             entry.Communication.RelayedBy = phone.RelayedBy;
                                         });
    if (stored == PhoneCommunicationList::Stored::Full) {
        Logger::LogError("Too many phone coms (" + std::to_string(MaxPhoneCommunications) +
                             "), dropped the one of " + phone.Name,
                         Log);
        return;
    }
    CalculateProximityChat();
}

void GameInstance::OnStopPhoneCommunication(const Model::PhoneCommunication& phone) {
    RemovePhoneCommunication(phone.Name);
    CalculateProximityChat();
}

bool GameInstance::TryGetPhoneCommunication(std::string_view name, StoredPhoneCommunication& phone) const {
    return _phoneCommunications.TryGet(name, phone);
}

void GameInstance::RemovePhoneCommunication(std::string_view name) {
    _phoneCommunications.Remove(name);
    // Cleared even without a stored call, so a partner never stays on the phone.
    std::shared_ptr<PlayerState> partner;
    if (TryGetPlayerState(name, partner)) {
        partner->SetIsOnPhone(false);
    }
}

void GameInstance::CalculatePhoneCommunication(const StoredPhoneCommunication& phone) {
    const auto players = PlayerStates();
    if (const auto reception = CalculatePhoneCommunication(phone, PlayerIndex(players, NameOf))) {
        _phoneCommunications.WriteReception(phone.Communication.Name, *reception);
    }
}

void GameInstance::CalculatePhoneCommunications(const PhoneCommunicationList::Snapshot& phones,
                                                const PlayerIndex& players, TargetPlayers& targets) {
    std::vector<std::pair<std::size_t, PhoneReception>> receptions;
    for (std::size_t index = 0; index < phones->size(); ++index) {
        const auto& phone = (*phones)[index];
        if (auto reception = CalculatePhoneCommunication(phone, players)) {
            receptions.emplace_back(index, std::move(*reception));
        }
        if (phone.Communication.Direct) {
            if (const auto* partner = players.Find(phone.Communication.Name)) {
                targets.AppendUnlessListed(*partner);
            }
        }
    }
    _phoneCommunications.WriteReceptions(phones, receptions);
}

std::optional<PhoneReception> GameInstance::CalculatePhoneCommunication(const StoredPhoneCommunication& phone,
                                                                        const PlayerIndex& players) {
    const auto& communication = phone.Communication;
    const auto* found = players.Find(communication.Name);
    if (found == nullptr || !IsReachablePartner(*found) || !_ownState.IsAlive()) {
        return std::nullopt;
    }
    const auto& partner = *found;
    if (communication.Direct) {
        UnmuteIfMuted(*partner);
        VoiceDistortion::SetPhoneDistortion(communication.Name, SignalDistortion(communication));
        partner->SetIsOnPhone(true);
        return PhoneReception{};
    }
    if (communication.RelayedBy.empty()) {
        partner->SetIsOnPhone(false);
        return PhoneReception{};
    }
    if (auto relay = ChooseRelay(communication.RelayedBy, players)) {
        UnmuteIfMuted(*partner);
        VoiceDistortion::SetPhoneDistortion(communication.Name, SignalDistortion(communication));
        partner->SetIsOnPhone(true);
        return PhoneReception{std::move(relay)};
    }
    partner->SetIsOnPhone(false);
    return PhoneReception{};
}

} // namespace Tralvonic
