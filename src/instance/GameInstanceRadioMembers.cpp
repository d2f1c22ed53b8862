#include "instance/GameInstance.h"

#include "Model/PluginError.h"
#include "Model/Text.h"
#include "core/Logger.h"
#include "link/Messages.h"

#include <algorithm>
#include <string>

namespace Tralvonic {

namespace {

constexpr LogChannel Log = LogChannel::GameInstance;

// Every member gets a player state, so this also bounds what one message adds to the table.
constexpr std::size_t MaxChannelMembers = 1024;

// A member the game has not placed yet: far from everything until his first update.
Model::PlayerState Placeholder(const std::string& name) {
    Model::PlayerState placeholder;
    placeholder.Name = name;
    placeholder.Position = TeamSpeak::TSVector::Zero;
    placeholder.DistanceCulled = true;
    return placeholder;
}

} // namespace

// None of the member changes recalculates: they matter from the next update on, and an own
// transmission's whisper list follows at its next recalculation.

void GameInstance::OnAddRadioChannelMember(const Model::RadioChannelMember& member) {
    // Left open by the protocol: a message without a name is read as an empty list of names,
    // so nothing changes; it is logged.
    if (IsBlank(member.PlayerName)) {
        Logger::LogWarning("An AddRadioChannelMember had no PlayerName, nothing added.", Log);
        return;
    }
    if (IsOwnName(member.PlayerName)) {
        return;
    }
    auto& members = member.IsPrimaryChannel ? _primaryRadioChannelMembers : _secondaryRadioChannelMembers;
    bool isFull = false;
    const bool added = members.Modify([&](std::vector<std::string>& names) {
        if (std::find(names.begin(), names.end(), member.PlayerName) != names.end()) {
            return false;
        }
        if (names.size() >= MaxChannelMembers) {
            isFull = true;
            return false;
        }
        names.push_back(member.PlayerName);
        return true;
    });
    if (isFull) {
        BroadcastRecord(
            Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(),
                               "RadioChannelMember.PlayerName can't join a channel of 1024 members"));
        return;
    }
    if (added) {
        AddPlaceholderPlayers({member.PlayerName});
    }
}

void GameInstance::OnUpdateRadioChannelMembers(const Model::RadioChannelMemberUpdate& update) {
    if (!update.PlayerNames) {
        Logger::LogWarning("An UpdateRadioChannelMembers had no PlayerNames, emptied the channel.", Log);
    } else if (update.PlayerNames->size() > MaxChannelMembers) {
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(),
                                           "RadioChannelMemberUpdate.PlayerNames has to hold <= 1024 names"));
        return;
    }
    auto names = update.PlayerNames.value_or(std::vector<std::string>{});
    AddPlaceholderPlayers(names);
    // Stored exactly as sent, the own name and repetitions included.
    (update.IsPrimaryChannel ? _primaryRadioChannelMembers : _secondaryRadioChannelMembers)
        .Store(std::move(names));
}

void GameInstance::OnRemoveRadioChannelMember(const Model::RadioChannelMember& member) {
    if (IsBlank(member.PlayerName)) {
        Logger::LogWarning("A RemoveRadioChannelMember had no PlayerName, nothing removed.", Log);
        return;
    }
    auto& members = member.IsPrimaryChannel ? _primaryRadioChannelMembers : _secondaryRadioChannelMembers;
    members.Modify([&](std::vector<std::string>& names) {
        const auto found = std::find(names.begin(), names.end(), member.PlayerName);
        if (found == names.end()) {
            return false;
        }
        names.erase(found);
        return true;
    });
}

void GameInstance::AddPlaceholderPlayers(const std::vector<std::string>& names) {
    std::lock_guard lock(_playerStatesMutex);
    for (const auto& name : names) {
        if (IsBlank(name) || IsOwnName(name)) {
            continue;
        }
        if (auto [entry, inserted] = _playerStates.try_emplace(name); inserted) {
            entry->second = std::make_shared<PlayerState>(Placeholder(name));
        }
    }
}

} // namespace Tralvonic
