#include "SimServer.h"

#include "WorldAccess.h"

#include <algorithm>

namespace Tralvonic::Sim {

using namespace TeamSpeak;

namespace {

// One above the highest id in use, so an id is never given twice while its owner exists.
template <typename Items> auto NextId(const Items& items) {
    using Id = decltype(items.front().Id);
    Id next = 1;
    for (const auto& item : items) {
        next = std::max(next, static_cast<Id>(item.Id + 1));
    }
    return next;
}

} // namespace

SimClient& RequireClient(ServerState& server, anyID client) {
    SimClient* found = server.FindClient(client);
    if (found == nullptr) {
        throw std::out_of_range("no client " + std::to_string(client));
    }
    return *found;
}

SimChannel& RequireChannel(ServerState& server, uint64 channel) {
    SimChannel* found = server.FindChannel(channel);
    if (found == nullptr) {
        throw std::out_of_range("no channel " + std::to_string(channel));
    }
    return *found;
}

uint64 SimServer::AddChannel(std::string name, uint64 parent, std::string password) {
    const uint64 id = Locked([&](ServerState& server) {
        if (parent != 0) {
            RequireChannel(server, parent);
        }
        const uint64 next = NextId(server.Channels);
        SimChannel channel{next, parent, {}};
        channel.Values.Set(CHANNEL_NAME, std::move(name));
        channel.Values.Set(CHANNEL_FLAG_PASSWORD, std::int64_t{password.empty() ? 0 : 1});
        channel.Values.Set(CHANNEL_PASSWORD, std::move(password));
        channel.Values.Set(CHANNEL_FLAG_ARE_SUBSCRIBED, std::int64_t{1});
        server.Channels.push_back(std::move(channel));
        return next;
    });
    _client.NotifyChanged();
    return id;
}

anyID SimServer::AddClient(std::string nickname, uint64 channel) {
    const anyID id = Locked([&](ServerState& server) {
        RequireChannel(server, channel);
        const anyID next = NextId(server.Clients);
        SimClient client{next, channel, {}, std::nullopt};
        client.Values.Set(CLIENT_UNIQUE_IDENTIFIER, "uid-" + std::to_string(next) + "-" + nickname);
        client.Values.Set(CLIENT_NICKNAME, std::move(nickname));
        client.Values.Set(CLIENT_DATABASE_ID, std::int64_t{100 + next});
        for (std::size_t flag : {CLIENT_FLAG_TALKING, CLIENT_INPUT_MUTED, CLIENT_OUTPUT_MUTED,
                                 CLIENT_OUTPUTONLY_MUTED, CLIENT_INPUT_DEACTIVATED, CLIENT_IS_MUTED}) {
            client.Values.Set(flag, std::int64_t{0});
        }
        client.Values.Set(CLIENT_INPUT_HARDWARE, std::int64_t{1});
        client.Values.Set(CLIENT_OUTPUT_HARDWARE, std::int64_t{1});
        server.Clients.push_back(std::move(client));
        return next;
    });
    _client.NotifyChanged();
    return id;
}

anyID SimServer::AddOwnClient(std::string nickname, uint64 channel) {
    const anyID id = AddClient(std::move(nickname), channel);
    SetOwnClient(id);
    return id;
}

void SimServer::SetOwnClient(anyID client) {
    Locked([&](ServerState& server) {
        RequireClient(server, client);
        server.OwnClient = client;
    });
    _client.NotifyChanged();
}

void SimServer::SetStatus(int status) {
    Locked([&](ServerState& server) { server.Status = status; });
    _client.NotifyChanged();
}

void SimServer::SetServerVariable(std::size_t flag, std::string value) {
    Locked([&](ServerState& server) { server.Values.Set(flag, std::move(value)); });
    _client.NotifyChanged();
}

void SimServer::SetClientVariable(anyID client, std::size_t flag, std::string value) {
    Locked([&](ServerState& server) { RequireClient(server, client).Values.Set(flag, std::move(value)); });
    _client.NotifyChanged();
}

void SimServer::SetChannelVariable(uint64 channel, std::size_t flag, std::string value) {
    Locked([&](ServerState& server) { RequireChannel(server, channel).Values.Set(flag, std::move(value)); });
    _client.NotifyChanged();
}

void SimServer::SetPreProcessorValue(std::string identifier, std::string value) {
    Locked([&](ServerState& server) { server.PreProcessor[std::move(identifier)] = std::move(value); });
    _client.NotifyChanged();
}

void SimServer::SetConnectInfo(std::string host, unsigned short port, std::string password) {
    Locked([&](ServerState& server) {
        server.ConnectHost = std::move(host);
        server.ConnectPort = port;
        server.ConnectPassword = std::move(password);
    });
}

void SimServer::SetServerAddress(std::string ip, unsigned short port) {
    Locked([&](ServerState& server) {
        server.ServerIp = std::move(ip);
        server.ServerPort = port;
    });
}

void SimServer::RefuseNextMove(Error code) {
    Locked([&](ServerState& server) { server.MoveRefusal = static_cast<unsigned int>(code); });
}

int SimServer::Status() const {
    return Locked([](ServerState& server) { return server.Status; });
}

anyID SimServer::OwnClient() const {
    return Locked([](ServerState& server) { return server.OwnClient; });
}

SimClient SimServer::Own() const {
    return Locked([](ServerState& server) { return RequireClient(server, server.OwnClient); });
}

SimClient SimServer::Client(anyID client) const {
    return Locked([&](ServerState& server) { return RequireClient(server, client); });
}

SimChannel SimServer::Channel(uint64 channel) const {
    return Locked([&](ServerState& server) { return RequireChannel(server, channel); });
}

std::vector<SimClient> SimServer::Clients() const {
    return Locked([](ServerState& server) { return server.Clients; });
}

std::vector<SimChannel> SimServer::Channels() const {
    return Locked([](ServerState& server) { return server.Channels; });
}

std::optional<anyID> SimServer::FindClient(std::string_view nickname) const {
    return Locked([&](ServerState& server) -> std::optional<anyID> {
        for (const SimClient& client : server.Clients) {
            if (client.Nickname() == nickname) {
                return client.Id;
            }
        }
        return std::nullopt;
    });
}

std::optional<uint64> SimServer::FindChannel(std::string_view name) const {
    return Locked([&](ServerState& server) -> std::optional<uint64> {
        for (const SimChannel& channel : server.Channels) {
            if (channel.Name() == name) {
                return channel.Id;
            }
        }
        return std::nullopt;
    });
}

uint64 SimServer::ChannelOf(anyID client) const {
    return Locked([&](ServerState& server) { return RequireClient(server, client).Channel; });
}

std::optional<WhisperList> SimServer::Whispers(anyID client) const {
    return Locked([&](ServerState& server) -> std::optional<WhisperList> {
        auto found = server.WhisperLists.find(client == 0 ? server.OwnClient : client);
        if (found == server.WhisperLists.end()) {
            return std::nullopt;
        }
        return found->second;
    });
}

ListenerAttributes SimServer::Listener() const {
    return Locked([](ServerState& server) { return server.Listener; });
}

std::optional<TS3_VECTOR> SimServer::PositionOf(anyID client) const {
    return Locked([&](ServerState& server) { return RequireClient(server, client).Position; });
}

std::vector<WavePlayback> SimServer::Playbacks() const {
    return Locked([](ServerState& server) { return server.Playbacks; });
}

std::string SimServer::PreProcessorValue(std::string_view identifier) const {
    return Locked([&](ServerState& server) {
        auto found = server.PreProcessor.find(identifier);
        return found != server.PreProcessor.end() ? found->second : std::string();
    });
}

} // namespace Tralvonic::Sim
