// What happens on a server tab without the plugin asking: connections, clients coming,
// going, moving and talking, variables changing. Each changes the world at once and raises
// the host event the real client would raise.

#include "SimServer.h"

#include "WorldAccess.h"

#include <algorithm>

namespace Tralvonic::Sim {

using namespace TeamSpeak;

namespace {

// Whether the own client sees clients in `channel`: its own channel always, others while
// subscribed.
bool IsVisible(ServerState& server, uint64 channel) {
    if (channel == 0) {
        return false;
    }
    const SimClient* own = server.Own();
    if (own != nullptr && own->Channel == channel) {
        return true;
    }
    const SimChannel* found = server.FindChannel(channel);
    return found != nullptr && found->IsSubscribed();
}

int MoveVisibility(ServerState& server, anyID client, uint64 from, uint64 to) {
    if (client == server.OwnClient) {
        return RETAIN_VISIBILITY;
    }
    const bool before = IsVisible(server, from);
    const bool after = IsVisible(server, to);
    if (!before && after) {
        return ENTER_VISIBILITY;
    }
    return after ? RETAIN_VISIBILITY : LEAVE_VISIBILITY;
}

} // namespace

void SimServer::ChangeStatus(int status, unsigned int error) {
    Locked([&](ServerState& server) { server.Status = status; });
    const uint64 handler = _handler;
    _client.Raise([=](const PluginExports& plugin) {
        if (plugin.onConnectStatusChangeEvent) {
            plugin.onConnectStatusChangeEvent(handler, status, error);
        }
    });
    _client.NotifyChanged();
}

void SimServer::Connect() {
    for (int status : {STATUS_CONNECTING, STATUS_CONNECTED, STATUS_CONNECTION_ESTABLISHING,
                       STATUS_CONNECTION_ESTABLISHED}) {
        ChangeStatus(status);
    }
}

void SimServer::Disconnect(unsigned int error) {
    ChangeStatus(STATUS_DISCONNECTED, error);
}

anyID SimServer::ClientJoins(std::string nickname, uint64 channel) {
    const anyID id = AddClient(std::move(nickname), channel);
    const uint64 handler = _handler;
    _client.Raise([=](const PluginExports& plugin) {
        if (plugin.onClientMoveEvent) {
            plugin.onClientMoveEvent(handler, id, 0, channel, ENTER_VISIBILITY, "");
        }
    });
    return id;
}

void SimServer::ClientLeaves(anyID client, std::string message) {
    const uint64 from = Locked([&](ServerState& server) {
        const uint64 channel = RequireClient(server, client).Channel;
        std::erase_if(server.Clients, [&](const SimClient& c) { return c.Id == client; });
        server.WhisperLists.erase(client);
        return channel;
    });
    const uint64 handler = _handler;
    _client.Raise([=](const PluginExports& plugin) {
        if (plugin.onClientMoveEvent) {
            plugin.onClientMoveEvent(handler, client, from, 0, LEAVE_VISIBILITY, message.c_str());
        }
    });
    _client.NotifyChanged();
}

void SimServer::MoveClient(anyID client, uint64 channel, std::string message) {
    auto [from, visibility] = Locked([&](ServerState& server) {
        RequireChannel(server, channel);
        SimClient& moved = RequireClient(server, client);
        const uint64 old = moved.Channel;
        const int seen = MoveVisibility(server, client, old, channel);
        moved.Channel = channel;
        return std::pair{old, seen};
    });
    const uint64 handler = _handler;
    _client.Raise([=](const PluginExports& plugin) {
        if (plugin.onClientMoveEvent) {
            plugin.onClientMoveEvent(handler, client, from, channel, visibility, message.c_str());
        }
    });
    _client.NotifyChanged();
}

void SimServer::MoveClientBy(anyID client, uint64 channel, anyID mover, std::string message) {
    struct Move {
        uint64 From;
        int Visibility;
        std::string MoverName;
        std::string MoverUniqueIdentifier;
    };
    Move move = Locked([&](ServerState& server) {
        RequireChannel(server, channel);
        const SimClient& by = RequireClient(server, mover);
        Move result{0, 0, by.Nickname(), by.UniqueIdentifier()};
        SimClient& moved = RequireClient(server, client);
        result.From = moved.Channel;
        result.Visibility = MoveVisibility(server, client, moved.Channel, channel);
        moved.Channel = channel;
        return result;
    });
    const uint64 handler = _handler;
    _client.Raise([=](const PluginExports& plugin) {
        if (plugin.onClientMoveMovedEvent) {
            plugin.onClientMoveMovedEvent(handler, client, move.From, channel, move.Visibility, mover,
                                          move.MoverName.c_str(), move.MoverUniqueIdentifier.c_str(),
                                          message.c_str());
        }
    });
    _client.NotifyChanged();
}

void SimServer::SetSubscribed(uint64 channel, bool subscribed) {
    const auto clients = Locked([&](ServerState& server) {
        RequireChannel(server, channel)
            .Values.Set(CHANNEL_FLAG_ARE_SUBSCRIBED, std::int64_t{subscribed ? 1 : 0});
        std::vector<anyID> inside;
        for (const SimClient& client : server.Clients) {
            if (client.Channel == channel && client.Id != server.OwnClient) {
                inside.push_back(client.Id);
            }
        }
        return inside;
    });
    const uint64 handler = _handler;
    for (anyID client : clients) {
        _client.Raise([=](const PluginExports& plugin) {
            if (plugin.onClientMoveSubscriptionEvent) {
                plugin.onClientMoveSubscriptionEvent(handler, client, subscribed ? 0 : channel,
                                                     subscribed ? channel : 0,
                                                     subscribed ? ENTER_VISIBILITY : LEAVE_VISIBILITY);
            }
        });
    }
    _client.NotifyChanged();
}

void SimServer::SetTalking(anyID client, int status, bool isReceivedWhisper) {
    Locked([&](ServerState& server) {
        RequireClient(server, client).Values.Set(CLIENT_FLAG_TALKING, std::int64_t{status == STATUS_TALKING});
    });
    const uint64 handler = _handler;
    _client.Raise([=](const PluginExports& plugin) {
        if (plugin.onTalkStatusChangeEvent) {
            plugin.onTalkStatusChangeEvent(handler, status, isReceivedWhisper ? 1 : 0, client);
        }
    });
    _client.NotifyChanged();
}

void SimServer::UpdateClient(anyID client, std::size_t flag, std::string value) {
    auto [name, uniqueIdentifier] = Locked([&](ServerState& server) {
        SimClient& changed = RequireClient(server, client);
        changed.Values.Set(flag, std::move(value));
        return std::pair{changed.Nickname(), changed.UniqueIdentifier()};
    });
    const uint64 handler = _handler;
    _client.Raise([=](const PluginExports& plugin) {
        if (plugin.onUpdateClientEvent) {
            plugin.onUpdateClientEvent(handler, client, client, name.c_str(), uniqueIdentifier.c_str());
        }
    });
    _client.NotifyChanged();
}

void SimServer::UpdateOwnVariable(std::size_t flag, std::string value) {
    struct Change {
        anyID Own;
        std::string OldValue;
        std::string Name;
        std::string UniqueIdentifier;
    };
    Change change = Locked([&](ServerState& server) {
        SimClient& own = RequireClient(server, server.OwnClient);
        Change result{own.Id, own.Values.Text(flag), {}, {}};
        own.Values.Set(flag, value);
        result.Name = own.Nickname();
        result.UniqueIdentifier = own.UniqueIdentifier();
        return result;
    });
    const uint64 handler = _handler;
    const int property = static_cast<int>(flag);
    _client.Raise([=](const PluginExports& plugin) {
        if (plugin.onClientSelfVariableUpdateEvent) {
            plugin.onClientSelfVariableUpdateEvent(handler, property, change.OldValue.c_str(), value.c_str());
        }
        if (plugin.onUpdateClientEvent) {
            plugin.onUpdateClientEvent(handler, change.Own, change.Own, change.Name.c_str(),
                                       change.UniqueIdentifier.c_str());
        }
    });
    _client.NotifyChanged();
}

} // namespace Tralvonic::Sim
