#include "instance/GameInstance.h"

#include "core/Base.h"
#include "core/Logger.h"

#include <algorithm>

namespace Tralvonic {

namespace {

constexpr LogChannel Log = LogChannel::GameInstance;

constexpr const char* ForceSilencedWarning =
    "Ingame channel is currently force silenced. Please check channel talk power or \"Min clients in channel "
    "before silence\" under your \"Misc\" tab while editing the virtual server.";

} // namespace

bool GameInstance::IsSwissChannel(const std::optional<TeamSpeak::Channel>& channel) const {
    // Walks up the tree: every channel below a listed one counts, at any depth. The depth
    // bound only guards against a host that reports a channel as its own ancestor.
    std::optional<TeamSpeak::Channel> current = channel;
    for (int depth = 0; current && !current->IsZero() && depth < 1024; ++depth) {
        if (std::find(SwissChannelIds().begin(), SwissChannelIds().end(), current->Id()) !=
            SwissChannelIds().end()) {
            return true;
        }
        current = current->Parent();
    }
    return false;
}

bool GameInstance::EnforceName(const TeamSpeak::Client& client) const {
    const std::string& name = Name() ? *Name() : std::string();
    if (client.Name() == name) {
        return false;
    }
    client.SetName(name);
    return true;
}

void GameInstance::OnChannelMove(const TeamSpeak::Client& client, const TeamSpeak::Channel& oldChannel,
                                 const TeamSpeak::Channel& newChannel) {
    if (IsResetted()) {
        return;
    }
    const auto ownClient = Client();
    const auto instanceChannel = Channel();
    if (ownClient && client == *ownClient) {
        OnOwnChannelMove(client, newChannel);
    } else if (instanceChannel) {
        OnOtherClientMove(client, oldChannel, newChannel, *instanceChannel);
    }
    if (instanceChannel && newChannel == *instanceChannel && instanceChannel->IsForceSilenced()) {
        Logger::LogWarning(ForceSilencedWarning, Log);
        if (ownClient) {
            ownClient->PrintMessage(ForceSilencedWarning);
        }
    }
}

void GameInstance::OnOwnChannelMove(const TeamSpeak::Client& client, const TeamSpeak::Channel& newChannel) {
    const auto instanceChannel = Channel();
    const std::string name = Name().value_or("");
    if (instanceChannel && newChannel == *instanceChannel) {
        if (client.IsSoundMuted()) {
            client.SetIsSoundMuted(false);
        }
        // The whole stored list as clients, whatever its length: the channel rule of the
        // setter is for changes, this restores what the user had.
        client.SetWhisperTargets(std::nullopt, WhisperTargets());
        const std::string currentName = client.Name();
        if (currentName != name) {
            Logger::LogExtensive(
                "Current name \"" + currentName + "\" isn't expected, changing to \"" + name + "\"...", Log);
            client.SetName(name);
        }
        for (const auto& playerState : PlayerStates()) {
            CalculateProximityChat(*playerState);
        }
        _instanceState.store(Model::GameInstanceState::Ingame);
        SendGameState();
        SendSoundState();
        Logger::LogDebug("Joined instance channel (" + newChannel.Name() + "), our client ID is " +
                             std::to_string(client.Id()),
                         Log);
    } else if (IsSwissChannel(newChannel)) {
        _instanceState.store(Model::GameInstanceState::InSwissChannel);
        if (client.Name() == name) {
            if (const auto originalName = OriginalName()) {
                client.SetName(*originalName);
            }
        }
        client.SetWhisperTargets(std::nullopt, std::nullopt);
        Logger::LogDebug("Switched to a swiss channel (" + newChannel.Name() + ")", Log);
        SendGameState();
    } else {
        _instanceState.store(Model::GameInstanceState::Connected);
        EnforceName(client);
        if (instanceChannel) {
            instanceChannel->Join(ChannelPassword());
        }
        Logger::LogDebug("Switched to a non instance channel (" + newChannel.Name() + ")", Log);
        SendGameState();
    }
}

void GameInstance::OnOtherClientMove(const TeamSpeak::Client& client, const TeamSpeak::Channel& oldChannel,
                                     const TeamSpeak::Channel& newChannel,
                                     const TeamSpeak::Channel& instanceChannel) {
    if (newChannel == instanceChannel) {
        const std::string nickname = client.Name();
        const auto players = PlayerStates();
        const auto found = std::find_if(players.begin(), players.end(), [&](const auto& playerState) {
            return playerState->Name() == nickname;
        });
        if (found != players.end()) {
            (*found)->SetClient(client);
            PublishVoicePlan();
            CalculateProximityChat(**found);
            Logger::LogExtensive("Client " + nickname + " joined instance channel", Log);
        } else {
            client.Reset3DPosition();
            Logger::LogExtensive("Client " + nickname +
                                     " joined instance channel, but we don't have a PlayerState for him",
                                 Log);
        }
        return;
    }
    if (oldChannel != instanceChannel) {
        return;
    }
    for (const auto& playerState : PlayerStates()) {
        const auto bound = playerState->Client();
        if (bound && bound->Id() == client.Id()) {
            playerState->SetClient(std::nullopt);
            PublishVoicePlan();
            break;
        }
    }
    auto whisperTargets = WhisperTargets();
    if (std::find(whisperTargets.begin(), whisperTargets.end(), client.Id()) != whisperTargets.end()) {
        std::erase(whisperTargets, client.Id());
        SetWhisperTargets(std::move(whisperTargets));
    }
    if (newChannel.IsZero() || !newChannel.IsSubscibed()) {
        Logger::LogExtensive(
            "A client (" + std::to_string(client.Id()) +
                ") left the TeamSpeak server or switched to an unsubscribed channel - can't reset him",
            Log);
    } else {
        client.Reset3DPosition();
        Logger::LogExtensive(
            client.Name() + " (" + std::to_string(client.Id()) + ") left the instance channel", Log);
    }
}

} // namespace Tralvonic
