// Requests that go to the server or change what the own client sends: moving clients,
// muting clients locally and setting whisper lists.

#include "HostEntry.h"
#include "HostTable.h"
#include "WorldAccess.h"

namespace Tralvonic::Sim {

using namespace TeamSpeak;
using F = TS3Functions;

namespace {

// The server's message texts for the refusals it sends here.
const char* RefusalMessage(unsigned int code) {
    switch (static_cast<Error>(code)) {
    case Error::ChannelInvalidPassword:
        return "invalid channel password";
    case Error::ChannelAlreadyIn:
        return "already member of channel";
    case Error::ChannelMaxclientsReached:
        return "max clients reached";
    case Error::PermissionsClientInsufficient:
        return "insufficient client permissions";
    default:
        return "request refused";
    }
}

struct MoveRequest {
    uint64 Handler;
    anyID Client;
    uint64 Channel;
    std::string Password;
    std::string ReturnCode;
};

// The server's side of a move, on the event thread: the refusal a test arranged, a client
// already there or a wrong channel password come back as onServerErrorEvent; a move that
// goes through changes the world just before its event reaches the plugin, so the plugin
// sees the old channel until then, as with the real client.
void AnswerMove(SimulatedClient& client, const MoveRequest& request) {
    std::optional<unsigned int> refusal;
    uint64 from = 0;
    anyID mover = 0;
    std::string moverName;
    std::string moverUniqueIdentifier;
    {
        World& world = client.GetWorld();
        std::lock_guard lock(world.Mutex);
        ServerState* server = world.FindServer(request.Handler);
        SimClient* moved = server != nullptr ? server->FindClient(request.Client) : nullptr;
        SimChannel* target = server != nullptr ? server->FindChannel(request.Channel) : nullptr;
        if (moved == nullptr || target == nullptr || !server->IsConnected()) {
            return; // gone while the request travelled
        }
        if (server->MoveRefusal) {
            refusal = *server->MoveRefusal;
            server->MoveRefusal.reset();
        } else if (moved->Channel == request.Channel) {
            refusal = Code(Error::ChannelAlreadyIn);
        } else if (!target->Password().empty() && target->Password() != request.Password) {
            refusal = Code(Error::ChannelInvalidPassword);
        } else {
            from = moved->Channel;
            moved->Channel = request.Channel;
            if (const SimClient* own = server->Own()) {
                mover = own->Id;
                moverName = own->Nickname();
                moverUniqueIdentifier = own->UniqueIdentifier();
            }
        }
    }
    client.NotifyChanged();
    client.Deliver([&](const PluginExports& plugin) {
        if (refusal) {
            if (plugin.onServerErrorEvent) {
                plugin.onServerErrorEvent(request.Handler, RefusalMessage(*refusal), *refusal,
                                          request.ReturnCode.c_str(), "");
            }
        } else if (request.Client == mover) {
            if (plugin.onClientMoveEvent) {
                plugin.onClientMoveEvent(request.Handler, request.Client, from, request.Channel,
                                         RETAIN_VISIBILITY, "");
            }
        } else if (plugin.onClientMoveMovedEvent) {
            plugin.onClientMoveMovedEvent(request.Handler, request.Client, from, request.Channel,
                                          RETAIN_VISIBILITY, mover, moverName.c_str(),
                                          moverUniqueIdentifier.c_str(), "");
        }
    });
}

// Checked at once, as the client library does: the tab, the client and the channel. What
// only the server can judge is answered later (AnswerMove); the call itself returns Ok.
unsigned int RequestClientMove(SimulatedClient& client, uint64 handler, anyID clientId, uint64 channel,
                               const char* password, const char* returnCode) {
    const unsigned int code = WithServer(client, handler, [&](ServerState& server) {
        if (server.FindClient(clientId) == nullptr) {
            return Code(Error::ClientInvalidId);
        }
        return server.FindChannel(channel) != nullptr ? Ok : Code(Error::ChannelInvalidId);
    });
    if (code != Ok) {
        return code;
    }
    MoveRequest request{handler, clientId, channel, password != nullptr ? password : "",
                        returnCode != nullptr ? returnCode : ""};
    client.Post([&client, request] { AnswerMove(client, request); });
    return Ok;
}

unsigned int SetLocalMute(SimulatedClient& client, uint64 handler, const anyID* clients, bool muted) {
    if (clients == nullptr) {
        return Code(Error::ParameterInvalid);
    }
    const auto ids = ReadList(clients);
    const unsigned int code = WithServer(client, handler, [&](ServerState& server) {
        unsigned int result = Ok;
        for (anyID id : ids) {
            SimClient* found = server.FindClient(id);
            if (found == nullptr) {
                result = Code(Error::ClientInvalidId);
                continue;
            }
            found->Values.Set(CLIENT_IS_MUTED, std::int64_t{muted ? 1 : 0});
        }
        return result;
    });
    client.NotifyChanged();
    return code;
}

unsigned int RequestMuteClients(SimulatedClient& client, uint64 handler, const anyID* clients, const char*) {
    return SetLocalMute(client, handler, clients, true);
}

unsigned int RequestUnmuteClients(SimulatedClient& client, uint64 handler, const anyID* clients,
                                  const char*) {
    return SetLocalMute(client, handler, clients, false);
}

// Client id 0 names the own client, as in the SDK.
unsigned int RequestClientSetWhisperList(SimulatedClient& client, uint64 handler, anyID clientId,
                                         const uint64* channels, const anyID* clients, const char*) {
    const unsigned int code = WithServer(client, handler, [&](ServerState& server) {
        const anyID target = clientId == 0 ? server.OwnClient : clientId;
        if (server.FindClient(target) == nullptr) {
            return Code(Error::ClientInvalidId);
        }
        WhisperList list;
        if (channels != nullptr) {
            list.Channels = ReadList(channels);
        }
        if (clients != nullptr) {
            list.Clients = ReadList(clients);
        }
        server.WhisperLists[target] = std::move(list);
        return Ok;
    });
    client.NotifyChanged();
    return code;
}

} // namespace

void InstallRequests(TS3Functions& table) {
    Install<&F::requestClientMove, &RequestClientMove>(table);
    Install<&F::requestMuteClients, &RequestMuteClients>(table);
    Install<&F::requestUnmuteClients, &RequestUnmuteClients>(table);
    Install<&F::requestClientSetWhisperList, &RequestClientSetWhisperList>(table);
}

} // namespace Tralvonic::Sim
