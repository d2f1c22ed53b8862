#include "instance/GameInstance.h"

#include "Model/PluginError.h"
#include "Model/Text.h"
#include "core/Logger.h"
#include "effects/VoiceDistortion.h"
#include "link/Messages.h"

#include <string>
#include <string_view>
#include <utility>

namespace Tralvonic {

namespace {

// Inclusive bounds of what the game may send; compared in float, so 1.6f itself passes.
constexpr float MaxVolumeOverride = 1.6f;
constexpr std::int32_t MinMuffleIntensity = 0;
constexpr std::int32_t MaxMuffleIntensity = 10;
// Players the table keeps; every one costs a binding and a distance in each recalculation and
// an entry in the voice plan, so a game cannot grow them without end. Updates of players
// already known pass at the bound.
constexpr std::size_t MaxPlayers = 2048;
constexpr std::string_view TooManyPlayers = "PlayerState.Name can't join an instance of 2048 players";

// The instance whose bulk of player states this thread is applying; its voice plan waits,
// and so does the refusal of players beyond the bound, which the bulk reports once.
thread_local const GameInstance* instanceApplyingBulk = nullptr;
thread_local std::size_t playersRefusedInBulk = 0;

bool IsMuffleChanged(const std::optional<Model::MuffleEffect>& previous, const Model::MuffleEffect& next) {
    return !previous || previous->Intensity != next.Intensity;
}

} // namespace

void GameInstance::OnPlayerStateUpdate(const Model::PlayerState& playerState) {
    if (IsBlank(playerState.Name)) {
        Logger::LogError("Player name on an update was empty", LogChannel::PlayerUpdate);
        return;
    }
    if (playerState.VolumeOverride &&
        (*playerState.VolumeOverride < 0.0f || *playerState.VolumeOverride > MaxVolumeOverride)) {
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(),
                                           "PlayerState.VolumeOverride has to be >= 0f and <= 1.6f"));
        return;
    }
    if (playerState.Muffle && (playerState.Muffle->Intensity < MinMuffleIntensity ||
                               playerState.Muffle->Intensity > MaxMuffleIntensity)) {
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(),
                                           "PlayerState.MuffleIntensity has to be >= 0 and <= 10"));
        return;
    }

    std::shared_ptr<PlayerState> stored;
    bool refused = false;
    {
        std::lock_guard lock(_playerStatesMutex);
        if (auto known = _playerStates.find(playerState.Name); known != _playerStates.end()) {
            stored = known->second;
        } else if (_playerStates.size() >= MaxPlayers) {
            refused = true;
        } else {
            _playerStates.emplace(playerState.Name, std::make_shared<PlayerState>(playerState));
        }
    }
    if (refused) {
        if (IsApplyingBulkOnThisThread()) {
            ++playersRefusedInBulk;
        } else {
            BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(),
                                               std::string(TooManyPlayers)));
        }
        return;
    }

    const auto voice = PlayerVoice::From(playerState);
    if (!stored) {
        // The library keeps no intensity for a name it has not been told about (or has
        // dropped on removal), so a player who arrives muffled needs his intensity too.
        if (voice.Muffle) {
            VoiceDistortion::SetMuffleIntensity(playerState.Name, voice.Muffle->Intensity);
        }
        PublishVoicePlan();
        return;
    }
    if (voice.Muffle && IsMuffleChanged(stored->Voice().Muffle, *voice.Muffle)) {
        VoiceDistortion::SetMuffleIntensity(playerState.Name, voice.Muffle->Intensity);
    }
    // The binding, distance and offset stay until the next recalculation replaces them.
    stored->SetVoice(voice);
    PublishVoicePlan();
}

void GameInstance::OnBulkUpdate(const Model::BulkUpdate& bulkUpdate) {
    struct Deferral {
        explicit Deferral(const GameInstance& instance) {
            instanceApplyingBulk = &instance;
            playersRefusedInBulk = 0;
        }
        ~Deferral() { instanceApplyingBulk = nullptr; }
    };
    std::size_t refused = 0;
    {
        const Deferral deferral(*this);
        for (const auto& playerState : bulkUpdate.PlayerStates) {
            OnPlayerStateUpdate(playerState);
        }
        refused = playersRefusedInBulk;
        if (bulkUpdate.SelfState) {
            OnSelfStateUpdate(*bulkUpdate.SelfState);
        }
    }
    PublishVoicePlan();
    if (refused > 0) {
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(),
                                           std::string(TooManyPlayers)));
        Logger::LogWarning(std::to_string(refused) + " player(s) of a bulk update were not added",
                           LogChannel::PlayerUpdate);
    }
}

bool GameInstance::IsApplyingBulkOnThisThread() const {
    return instanceApplyingBulk == this;
}

void GameInstance::OnPlayerRemove(const Model::PlayerState& playerState) {
    if (IsBlank(playerState.Name)) {
        Logger::LogWarning("PlayerRemove was triggered but the playername was empty.",
                           LogChannel::PlayerUpdate);
        return;
    }
    const std::string& name = playerState.Name;
    _megaphoneCommunications.Remove(name);
    _phoneCommunications.Remove(name);
    _radioCommunications.Remove(name);
    const auto withoutName = [&](std::vector<std::string>& names) {
        return std::erase(names, name) > 0;
    };
    _primaryRadioChannelMembers.Modify(withoutName);
    _secondaryRadioChannelMembers.Modify(withoutName);

    std::shared_ptr<PlayerState> removed;
    {
        std::lock_guard lock(_playerStatesMutex);
        auto entry = _playerStates.find(playerState.Name);
        if (entry == _playerStates.end()) {
            return;
        }
        removed = std::move(entry->second);
        _playerStates.erase(entry);
    }
    PublishVoicePlan();
    VoiceDistortion::RemovePlayer(playerState.Name);
}

bool GameInstance::TryGetPlayerState(std::string_view name, std::shared_ptr<PlayerState>& playerState) const {
    std::lock_guard lock(_playerStatesMutex);
    auto entry = _playerStates.find(name);
    if (entry == _playerStates.end()) {
        return false;
    }
    playerState = entry->second;
    return true;
}

std::vector<std::shared_ptr<PlayerState>> GameInstance::PlayerStates() const {
    std::vector<std::shared_ptr<PlayerState>> snapshot;
    std::lock_guard lock(_playerStatesMutex);
    snapshot.reserve(_playerStates.size());
    for (const auto& entry : _playerStates) {
        snapshot.push_back(entry.second);
    }
    return snapshot;
}

} // namespace Tralvonic
