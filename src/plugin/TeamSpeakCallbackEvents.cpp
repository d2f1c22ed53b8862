#include "plugin/TeamSpeakCallback.h"

#include "TeamSpeak/Base.h"
#include "TeamSpeak/Channel.h"
#include "TeamSpeak/Client.h"
#include "TeamSpeak/Server.h"
#include "core/Base.h"
#include "core/VersionAnnouncement.h"
#include "instance/GameInstance.h"

#include <memory>

namespace Tralvonic {

namespace {

using TeamSpeak::Server;

// The instance of the game that drives the server behind this tab; asks the host for the
// server's unique identifier.
bool TryGetByServerUniqueIdentifier(const Server& server, std::shared_ptr<GameInstance>& gameInstance) {
    return Base::TryGetGameInstance(server.UniqueIdentifier(), gameInstance);
}

} // namespace

void TeamSpeakCallback::OnConnectStatusChangeEvent(uint64 serverConnectionHandlerId, int newStatus) {
    const Server server(serverConnectionHandlerId);
    std::shared_ptr<GameInstance> gameInstance;
    if (newStatus == TeamSpeak::STATUS_CONNECTION_ESTABLISHED) {
        VersionAnnouncement::Announce(server);
        if (TryGetByServerUniqueIdentifier(server, gameInstance)) {
            gameInstance->OnServerConnect(server);
        }
        return;
    }
    // Only an established connection needs the server's identifier; a dropped one may no
    // longer be able to tell it, and its instance is known by the handler.
    if (newStatus == TeamSpeak::STATUS_DISCONNECTED &&
        Base::TryGetGameInstance(serverConnectionHandlerId, gameInstance)) {
        gameInstance->OnServerDisconnect();
    }
}

void TeamSpeakCallback::OnClientMoveEvent(uint64 serverConnectionHandlerId, anyID clientId,
                                          uint64 oldChannelId, uint64 newChannelId) {
    const Server server(serverConnectionHandlerId);
    std::shared_ptr<GameInstance> gameInstance;
    if (TryGetByServerUniqueIdentifier(server, gameInstance)) {
        gameInstance->OnChannelMove(TeamSpeak::Client(server, clientId),
                                    TeamSpeak::Channel(server, oldChannelId),
                                    TeamSpeak::Channel(server, newChannelId));
    }
}

void TeamSpeakCallback::OnClientSelfVariableUpdateEvent(uint64 serverConnectionHandlerId, int flag,
                                                        const char* newValue) {
    const std::optional<std::string> value = OptionalText(newValue);
    // Only the tab that captures may report an enabled microphone to its game.
    if (flag == TeamSpeak::CLIENT_INPUT_HARDWARE && value == "1") {
        const std::optional<std::string> off = "0";
        for (const auto& other : Base::GameInstances()) {
            if (other->ServerConnectionHandle() != serverConnectionHandlerId) {
                other->OnClientVariableUpdate(TeamSpeak::CLIENT_INPUT_HARDWARE, off);
            }
        }
    }
    std::shared_ptr<GameInstance> gameInstance;
    if (TryGetByServerUniqueIdentifier(Server(serverConnectionHandlerId), gameInstance)) {
        gameInstance->OnClientVariableUpdate(flag, value);
    }
}

void TeamSpeakCallback::OnTalkStatusChangeEvent(uint64 serverConnectionHandlerId, int status,
                                                int isReceivedWhisper, anyID clientId) {
    const Server server(serverConnectionHandlerId);
    std::shared_ptr<GameInstance> gameInstance;
    if (TryGetByServerUniqueIdentifier(server, gameInstance)) {
        // Talking while the capture is disabled is not talking.
        gameInstance->OnTalkStatusChange(TeamSpeak::Client(server, clientId),
                                         status == TeamSpeak::STATUS_TALKING, isReceivedWhisper == 1);
    }
}

std::optional<std::string> TeamSpeakCallback::OptionalText(const char* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    return TeamSpeak::Base::MarshalNativeUtf8ToManagedString(text);
}

} // namespace Tralvonic
