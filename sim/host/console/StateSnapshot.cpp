#include "StateSnapshot.h"

#include "GameLinkRecords.h"
#include "host/GameView.h"

#include "SimulatedClient.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <boost/json/parse.hpp>
#include <boost/json/serialize.hpp>

#include <optional>
#include <vector>

namespace Tralvonic::Sim::Host {

namespace json = boost::json;

namespace {

// A game view larger than this is drawn as none; the built-in sessions publish a few KiB.
constexpr std::size_t MaxGameViewBytes = 256 * 1024;

struct WorldCopy {
    std::string Name;
    std::string UniqueIdentifier;
    int Status = 0;
    anyID Own = 0;
    std::vector<SimChannel> Channels;
    std::vector<SimClient> Clients;
    ListenerAttributes Listener;
    std::optional<WhisperList> Whisper;
};

std::optional<WorldCopy> CopyWorld(SimulatedClient& client, uint64 handler) {
    World& world = client.GetWorld();
    std::lock_guard lock(world.Mutex);
    ServerState* server = world.FindServer(handler);
    if (server == nullptr) {
        return std::nullopt;
    }
    WorldCopy copy{server->Values.Text(TeamSpeak::VIRTUALSERVER_NAME),
                   server->Values.Text(TeamSpeak::VIRTUALSERVER_UNIQUE_IDENTIFIER),
                   server->Status,
                   server->OwnClient,
                   server->Channels,
                   server->Clients,
                   server->Listener,
                   std::nullopt};
    if (const auto found = server->WhisperLists.find(server->OwnClient);
        found != server->WhisperLists.end()) {
        copy.Whisper = found->second;
    }
    return copy;
}

json::value Vector(const TeamSpeak::TS3_VECTOR& vector) {
    return json::object{{"X", vector.x}, {"Y", vector.y}, {"Z", vector.z}};
}

template <typename Id> json::value IdList(const std::optional<std::vector<Id>>& ids) {
    if (!ids) {
        return nullptr;
    }
    json::array list;
    for (const Id id : *ids) {
        list.push_back(id);
    }
    return list;
}

json::array Channels(const WorldCopy& world) {
    json::array channels;
    for (const SimChannel& channel : world.Channels) {
        channels.push_back(
            json::object{{"Id", channel.Id}, {"Parent", channel.Parent}, {"Name", channel.Name()}});
    }
    return channels;
}

json::array Clients(const WorldCopy& world) {
    json::array clients;
    for (const SimClient& client : world.Clients) {
        clients.push_back(
            json::object{{"Id", client.Id},
                         {"Name", client.Nickname()},
                         {"Channel", client.Channel},
                         {"IsUser", client.Id == world.Own},
                         {"IsTalking", client.IsTalking()},
                         {"IsLocallyMuted", client.IsLocallyMuted()},
                         {"IsMicrophoneMuted", client.IsInputMuted()},
                         {"IsSoundMuted", client.IsOutputMuted()},
                         {"Position", client.Position ? Vector(*client.Position) : json::value(nullptr)}});
    }
    return clients;
}

json::value Game(const GameView* gameView) {
    if (gameView == nullptr) {
        return nullptr;
    }
    const std::string latest = gameView->Latest();
    if (latest.empty() || latest.size() > MaxGameViewBytes) {
        return nullptr;
    }
    json::error_code error;
    json::value view = json::parse(latest, error);
    return !error && view.is_object() ? view : json::value(nullptr);
}

} // namespace

std::string StateJson(SimulatedClient& client, uint64 handler, const GameView* gameView,
                      const GameLinkRecords& records) {
    const auto world = CopyWorld(client, handler);
    json::object state;
    if (world) {
        state["Server"] = json::object{{"Name", world->Name},
                                       {"UniqueIdentifier", world->UniqueIdentifier},
                                       {"Status", world->Status},
                                       {"IsConnected", world->Status != TeamSpeak::STATUS_DISCONNECTED}};
        state["Channels"] = Channels(*world);
        state["Clients"] = Clients(*world);
        // The host keeps zeros until the plugin sets the listener; only a call tells them apart.
        state["Listener"] = client.CallCount("systemset3DListenerAttributes") == 0
                                ? json::value(nullptr)
                                : json::object{{"Position", Vector(world->Listener.Position)},
                                               {"Forward", Vector(world->Listener.Forward)},
                                               {"Up", Vector(world->Listener.Up)}};
        state["Whisper"] = world->Whisper ? json::object{{"Clients", IdList(world->Whisper->Clients)},
                                                         {"Channels", IdList(world->Whisper->Channels)}}
                                          : json::value(nullptr);
    }
    state["GameLink"] = records.Snapshot();
    state["Game"] = Game(gameView);
    return json::serialize(state);
}

} // namespace Tralvonic::Sim::Host
