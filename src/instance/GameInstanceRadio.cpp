#include "instance/GameInstance.h"

#include "Model/PluginCommand.h"
#include "Model/PluginError.h"
#include "Model/RadioTrafficState.h"
#include "core/Base.h"
#include "core/Logger.h"
#include "effects/VoiceDistortion.h"
#include "instance/CallPartner.h"
#include "instance/NumberText.h"
#include "instance/RelayChoice.h"
#include "instance/TargetPlayers.h"
#include "link/Messages.h"

#include <string>
#include <utility>

namespace Tralvonic {

namespace {

using Model::RadioType;

constexpr LogChannel Log = LogChannel::GameInstance;

constexpr float MaxRadioVolume = 1.6f;
// Bounds on what one game may make the instance keep and walk through on every recalculation.
constexpr std::size_t MaxRadioCommunications = 1024;
constexpr std::size_t MaxTowers = 1024;

bool IsSwitchedOff(const Model::RadioCommunication& radio) {
    return HasFlag(radio.SenderRadioType, RadioType::None) || HasFlag(radio.OwnRadioType, RadioType::None);
}

// Caps the volume to 0..1.6 and reports a capped value to the game; processing goes on.
void CapVolume(Model::RadioCommunication& radio, const std::optional<std::string>& server) {
    if (!radio.Volume) {
        return;
    }
    if (*radio.Volume > MaxRadioVolume) {
        radio.Volume = MaxRadioVolume;
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, server,
                                           "RadioCommunication.Volume has to be >= 0f and <= 1.6f"));
        Logger::LogWarning("A RadioCommunication had a volume of more then 1.6f, capped it.", Log);
    } else if (*radio.Volume < 0.0f) {
        radio.Volume = 0.0f;
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, server,
                                           "RadioCommunication.Volume has to be >= 0f"));
        Logger::LogWarning("A RadioCommunication had a volume lower then 0.0f, capped it.", Log);
    }
}

} // namespace

void GameInstance::OnRadioCommunicationUpdate(Model::RadioCommunication radio) {
    CapVolume(radio, ServerUniqueIdentifier());
    if (IsSwitchedOff(radio)) {
        OnStopRadioCommunication(radio);
        return;
    }
    if (radio.RelayedBy.size() > MaxRelays) {
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(),
                                           "RadioCommunication.RelayedBy has to hold <= 64 names"));
        return;
    }
    const bool isOwn = IsOwnName(radio.Name);
    if (isOwn) {
        OnOwnRadioStart(radio);
    }

    const auto stored =
        _radioCommunications.AddOrUpdate(StoredRadioCommunication{radio, RadioReception{}},
                                         MaxRadioCommunications, [&](StoredRadioCommunication& entry) {
                                             auto& communication = entry.Communication;
                                             communication.SenderRadioType = radio.SenderRadioType;
                                             communication.OwnRadioType = radio.OwnRadioType;
                                             communication.Volume = radio.Volume;
                                             communication.PlayMicClick = radio.PlayMicClick;
                                             communication.Direct = radio.Direct;
                                             communication.Secondary = radio.Secondary;
                                             communication.RelayedBy = radio.RelayedBy;
                                         });
    switch (stored) {
    case RadioCommunicationList::Stored::Updated:
        Logger::LogDebug("Already have a radio com for this player - updated", Log);
        break;
    case RadioCommunicationList::Stored::Added:
        Logger::LogDebug("Added new radio com", Log);
        break;
    case RadioCommunicationList::Stored::Full:
        Logger::LogError("Too many radio coms (" + std::to_string(MaxRadioCommunications) +
                             "), dropped the one of " + radio.Name,
                         Log);
        return;
    }

    std::shared_ptr<PlayerState> partner;
    float distortion = 0.0f;
    if (!isOwn && radio.Direct && MicClicksApply(radio.PlayMicClick) &&
        TryGetPlayerState(radio.Name, partner) && TryCalculateRadio(*partner, radio, distortion)) {
        PlayMicClick(radio.Secondary ? "onSecMicClick" : "onMicClick");
    }
    CalculateProximityChat();
}

void GameInstance::OnStopRadioCommunication(const Model::RadioCommunication& radio) {
    const bool isOwn = IsOwnName(radio.Name);
    if (isOwn) {
        OnOwnRadioStop(radio);
    }

    const auto removed = _radioCommunications.Remove(radio.Name);
    std::shared_ptr<PlayerState> partner;
    const bool hasPartner = removed && TryGetPlayerState(radio.Name, partner);
    if (removed) {
        if (hasPartner) {
            if (partner->ExchangeIsOnRadio(false) && SendRadioTrafficStates()) {
                SendRadioTrafficState(radio.Name, false, !radio.Secondary,
                                      removed->Reception.Relay
                                          ? std::optional(removed->Reception.Relay->Name())
                                          : std::nullopt);
            }
        }
        Logger::LogDebug("Removed radio com", Log);
    } else {
        Logger::LogDebug("We had no radio com", Log);
    }

    float distortion = 0.0f;
    if (hasPartner && !isOwn && radio.Direct && MicClicksApply(radio.PlayMicClick) &&
        TryCalculateRadio(*partner, removed->Communication, distortion)) {
        PlayMicClick(radio.Secondary ? "offSecMicClick" : "offMicClick");
    }
    CalculateProximityChat();
}

void GameInstance::OnRadioTowerUpdate(const Model::RadioTower& radioTower) {
    // Left open by the protocol: a message without a tower list is read as "no towers", so
    // that a game clearing its towers with an empty message is understood, and it is logged.
    if (!radioTower.Towers) {
        Logger::LogWarning("A RadioTowerUpdate had no Towers, removed every radio tower.", Log);
    } else if (radioTower.Towers->size() > MaxTowers) {
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(),
                                           "RadioTower.Towers has to hold <= 1024 towers"));
        return;
    }
    _radioTowers.Store(radioTower.Towers.value_or(std::vector<Model::Tower>{}));
    CalculateProximityChat();
}

bool GameInstance::TryGetRadioCommunication(std::string_view name, StoredRadioCommunication& radio) const {
    return _radioCommunications.TryGet(name, radio);
}

void GameInstance::CalculateRadioCommunication(const StoredRadioCommunication& radio) {
    const auto players = PlayerStates();
    if (const auto reception = CalculateRadioCommunication(radio, PlayerIndex(players, NameOf))) {
        _radioCommunications.WriteReception(radio.Communication.Name, *reception);
    }
}

void GameInstance::CalculateRadioCommunications(const RadioCommunicationList::Snapshot& radios,
                                                const PlayerIndex& players, TargetPlayers& targets) {
    std::vector<std::pair<std::size_t, RadioReception>> receptions;
    for (std::size_t index = 0; index < radios->size(); ++index) {
        const auto& radio = (*radios)[index];
        const auto& communication = radio.Communication;
        if (!IsOwnName(communication.Name)) {
            if (auto reception = CalculateRadioCommunication(radio, players)) {
                receptions.emplace_back(index, std::move(*reception));
            }
            continue;
        }
        // The user transmits: his voice goes to every member of the channel he sends on.
        const auto members =
            communication.Secondary ? SecondaryRadioChannelMembers() : PrimaryRadioChannelMembers();
        for (const auto& member : *members) {
            if (const auto* player = players.Find(member)) {
                targets.AppendUnlessListed(*player);
            }
        }
    }
    _radioCommunications.WriteReceptions(radios, receptions);
}

std::optional<RadioReception> GameInstance::CalculateRadioCommunication(const StoredRadioCommunication& radio,
                                                                        const PlayerIndex& players) {
    const auto& communication = radio.Communication;
    const auto* found = players.Find(communication.Name);
    if (found == nullptr || !IsReachablePartner(*found) || !_ownState.IsAlive()) {
        return std::nullopt;
    }
    const auto& partner = *found;
    const bool isDebugged = Base::CurrentLogLevel() >= LogLevel::Debug;
    if (Base::CurrentLogLevel() >= LogLevel::Extensive) {
        Logger::LogExtensive("Calculation radio com for player " + communication.Name, Log);
    }
    const bool isPrimary = !communication.Secondary;

    float distortion = 0.0f;
    if (communication.Direct && TryCalculateRadio(*partner, communication, distortion)) {
        UnmuteIfMuted(*partner);
        VoiceDistortion::SetRadioDistortion(communication.Name, distortion);
        if (!partner->ExchangeIsOnRadio(true) && SendRadioTrafficStates()) {
            SendRadioTrafficState(communication.Name, true, isPrimary);
        }
        if (isDebugged) {
            Logger::LogDebug("We have a successfull direct radio com, calculated distortion is " +
                                 FloatText(distortion),
                             Log);
        }
        return RadioReception{true, nullptr, distortion};
    }

    if (communication.RelayedBy.empty()) {
        if (partner->ExchangeIsOnRadio(false) && SendRadioTrafficStates()) {
            SendRadioTrafficState(communication.Name, false, isPrimary);
        }
        Logger::LogDebug("We have no direct com and the relays are null", Log);
        return RadioReception{false, nullptr, radio.Reception.Distortion};
    }

    auto relay = ChooseRelay(communication.RelayedBy, players);
    if (relay && relay->Voice().Position &&
        TryCalculateRadio(*partner, communication, distortion, relay->Voice().Position)) {
        UnmuteIfMuted(*partner);
        VoiceDistortion::SetRadioDistortion(communication.Name, distortion);
        if (!partner->ExchangeIsOnRadio(true) && SendRadioTrafficStates()) {
            SendRadioTrafficState(communication.Name, true, isPrimary, relay->Name());
        }
        Logger::LogDebug("Found a relay, since we don't have a direct com", Log);
        return RadioReception{true, std::move(relay), distortion};
    }

    if (partner->ExchangeIsOnRadio(false) && SendRadioTrafficStates()) {
        SendRadioTrafficState(communication.Name, false, isPrimary);
    }
    Logger::LogDebug("No direct com and no relays in range", Log);
    return RadioReception{false, nullptr, radio.Reception.Distortion};
}

void GameInstance::SendRadioTrafficState(const std::string& name, bool isSending, bool isPrimaryChannel,
                                         std::optional<std::string> activeRelay) const {
    BroadcastRecord(Model::PluginCommand(
        Model::Command::RadioTrafficState, ServerUniqueIdentifier(),
        Model::RadioTrafficState{name, isSending, isPrimaryChannel, std::move(activeRelay)}));
}

} // namespace Tralvonic
