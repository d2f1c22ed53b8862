#include "instance/GameInstance.h"

#include "Model/PluginCommand.h"
#include "Model/PluginError.h"
#include "Model/Text.h"
#include "core/Base.h"
#include "core/Logger.h"
#include "link/Messages.h"

namespace Tralvonic {

namespace {

constexpr LogChannel Log = LogChannel::GameInstance;

} // namespace

Model::Error GameInstance::Initiate() {
    // Without a server an instance could never be found again, nor kept alive by its game.
    if (!ServerUniqueIdentifier() || IsBlank(*ServerUniqueIdentifier())) {
        return Model::Error::InvalidJson;
    }
    // The check for a running instance of this server and the registration are one step, so
    // two games that start at once cannot both take the server.
    if (const Model::Error refusal = Base::TryAddGameInstance(shared_from_this());
        refusal != Model::Error::OK) {
        return refusal;
    }
    Logger::LogInfo("Starting instance " + ServerUniqueIdentifier().value_or(""), Log);
    TeamSpeak::Server server;
    if (ServerUniqueIdentifier() && TeamSpeak::Server::TryGetServer(*ServerUniqueIdentifier(), server)) {
        OnServerConnect(server);
    }
    SendGameState();
    StartThreads();
    return Model::Error::OK;
}

void GameInstance::StartThreads() {
    // The threads hold no reference to the instance: whoever drops the last one joins them.
    _keepaliveThread.Start([this] { PingSocket(); });
    _soundQueueThread.Start([this] { HandleSoundQueue(); });
}

void GameInstance::JoinThreads() {
    // The keepalive thread may be inside a reset that joins the sound thread: it goes first,
    // so the sound thread is never joined from two threads at once.
    _keepaliveThread.Join();
    _soundQueueThread.Join();
}

void GameInstance::OnServerConnect(const TeamSpeak::Server& server) {
    if (IsResetted()) {
        return;
    }
    if (!Name() || IsBlank(*Name())) {
        Logger::LogError("Name was not set or white space", Log);
        BroadcastRecord(
            Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(), std::nullopt));
        Reset(true, false);
        return;
    }
    TeamSpeak::Channel channel;
    if (!server.TryGetChannel(ChannelId(), channel)) {
        Logger::LogError("Couldn't find a channel with ID " + std::to_string(ChannelId()), Log);
        BroadcastRecord(
            Model::PluginError(Model::Error::ChannelNotAvailable, ServerUniqueIdentifier(), std::nullopt));
        Reset(true, false);
        return;
    }
    // The channel is stored before the client: whoever sees the client also sees the channel.
    const TeamSpeak::Client client = server.LocalClient();
    const std::string originalName = client.Name();
    const TeamSpeak::Channel originalChannel = client.Channel();
    _serverConnectionHandle.store(server.Id());
    _channel.Store(channel);
    _client.Store(client);
    _originalName.Store(originalName);
    _originalChannel.Store(originalChannel);

    if (IsSwissChannel(channel)) {
        constexpr const char* message = "Ingame channel can't be a swiss channel";
        Logger::LogError(message, Log);
        BroadcastRecord(Model::PluginError(Model::Error::InvalidValue, ServerUniqueIdentifier(), message));
        Reset(true, false);
        return;
    }
    if (IsSwissChannel(originalChannel)) {
        _instanceState.store(Model::GameInstanceState::InSwissChannel);
        Logger::LogDebug("We are currently in a swiss channel, so we don't move", Log);
        return;
    }
    const std::string& name = *Name();
    if (originalName != name) {
        client.SetName(name);
        Logger::LogDebug("Renamed from \"" + originalName + "\" to instance name \"" + name + "\"", Log);
    } else {
        Logger::LogInfo("No rename needed, already has the instance name (" + name + ")", Log);
    }
    // Read before the immediate join below, so that its sound state tells the game the
    // microphone and speaker as they are, not the defaults.
    ReadSoundFlags(client);
    if (channel.Id() != originalChannel.Id()) {
        channel.Join(ChannelPassword());
        Logger::LogDebug("Switching channel from " + originalChannel.Name() + " to instance channel " +
                             channel.Name() + "...",
                         Log);
    } else {
        Logger::LogInfo("No channel switch needed, already in instance channel (" + channel.Name() + ")",
                        Log);
        OnChannelMove(client, channel, channel);
    }
}

void GameInstance::OnServerDisconnect() {
    _serverConnectionHandle.store(0);
    _instanceState.store(Model::GameInstanceState::NotConnected);
    _client.Store(std::nullopt);
    _originalName.Store(std::nullopt);
    _originalChannel.Store(std::nullopt);
    _channel.Store(std::nullopt);
    for (const auto& playerState : PlayerStates()) {
        playerState->SetClient(std::nullopt);
    }
    PublishVoicePlan();
    SendGameState();
}

void GameInstance::Reset(bool removeInstance, bool ignoreThread) {
    if (_isResetted.exchange(true)) {
        return;
    }
    if (!ignoreThread) {
        _keepaliveThread.Join();
    }
    _soundQueueThread.Join();
    Logger::LogInfo("GameInstace " + ServerUniqueIdentifier().value_or("") + " will be reset...", Log);

    const auto client = Client();
    if (client && !client->IsZero()) {
        const auto channel = Channel();
        const bool isEstablished =
            channel && channel->Server() &&
            channel->Server()->ConnectionStatus() == TeamSpeak::STATUS_CONNECTION_ESTABLISHED;
        // Without an established connection there is nothing on TeamSpeak to give back. The
        // instance still leaves the registry: a reset instance that stayed registered would
        // refuse every later Initiate for this server with AlreadyInGame.
        if (isEstablished) {
            CleanUpTeamSpeak(*client, *channel);
        }
    }
    if (removeInstance) {
        if (auto self = weak_from_this().lock()) {
            Base::RemoveGameInstanceDelayed(self);
        }
        BroadcastRecord(Model::PluginCommand(Model::Command::Reset, ServerUniqueIdentifier()));
    }
}

void GameInstance::CleanUpTeamSpeak(const TeamSpeak::Client& client, const TeamSpeak::Channel& channel) {
    for (const auto& other : channel.Clients()) {
        other.Reset3DPosition();
    }
    channel.MuteClients(false);

    const std::string originalName = OriginalName().value_or("");
    const std::string currentName = client.Name();
    if (currentName != originalName && !originalName.empty()) {
        client.SetName(originalName);
        Logger::LogDebug("Renamed from " + currentName + " to " + originalName, Log);
    } else {
        Logger::LogDebug("Original name and actual name is the same, no rename needed (" + originalName + ")",
                         Log);
    }

    const TeamSpeak::Channel current = client.Channel();
    const auto originalChannel = OriginalChannel();
    const std::string originalChannelName = originalChannel ? originalChannel->Name() : std::string();
    if (!IsSwissChannel(current) && originalChannel && current != *originalChannel) {
        originalChannel->Join();
        Logger::LogDebug("Switched channel from " + current.Name() + " to " + originalChannelName, Log);
    } else {
        Logger::LogDebug("Client is in a swiss channel or already in the original channel (" +
                             originalChannelName + "), no switch needed (" + current.Name() + ")",
                         Log);
    }

    client.SetWhisperTargets(std::nullopt, std::nullopt);
    // A reset in the middle of an own radio transmission would otherwise leave the user's
    // voice activation or push-to-talk switched off for good.
    RestoreMicMode(client);
    StopSounds();
}

} // namespace Tralvonic
