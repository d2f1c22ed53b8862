#pragma once
// One server tab of the simulated client, as tests build, change and inspect it.
// Building (Add..., Set...) only changes the world. Happenings (Connect, Disconnect,
// ClientJoins, MoveClient, SetTalking, UpdateClient, ...) change it the way the server would
// and raise the matching host events for the attached plugin on the event thread.
// Readers return copies. Unknown ids throw std::out_of_range.

#include "World.h"

#include "TeamSpeak/sdk/ErrorCodes.h"
#include "TeamSpeak/sdk/HostEnums.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic::Sim {

class SimulatedClient;

class SimServer {
public:
    SimServer(SimulatedClient& client, uint64 handler) : _client(client), _handler(handler) {}
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    uint64 Handler() const { return _handler; }

    // --- building (SimServer.cpp) ---
    uint64 AddChannel(std::string name, uint64 parent = 0, std::string password = "");
    // A client in view, with a unique identifier "uid-<id>-<nickname>", database id 100 + id
    // and working sound hardware.
    anyID AddClient(std::string nickname, uint64 channel);
    // The user's own client on this tab.
    anyID AddOwnClient(std::string nickname, uint64 channel);
    void SetOwnClient(anyID client);
    void SetStatus(int status);
    void SetServerVariable(std::size_t flag, std::string value);
    void SetClientVariable(anyID client, std::size_t flag, std::string value);
    void SetChannelVariable(uint64 channel, std::size_t flag, std::string value);
    void SetPreProcessorValue(std::string identifier, std::string value);
    // What getServerConnectInfo reports.
    void SetConnectInfo(std::string host, unsigned short port, std::string password = "");
    // What getConnectionVariableAsString reports as server ip and port.
    void SetServerAddress(std::string ip, unsigned short port);
    // The server refuses the next move request with `code` (through onServerErrorEvent).
    void RefuseNextMove(TeamSpeak::Error code);

    // --- happenings (SimServerEvents.cpp) ---
    // Connecting, connected, establishing, established; one status event each.
    void Connect();
    void Disconnect(unsigned int error = 0);
    void ChangeStatus(int status, unsigned int error = 0);
    anyID ClientJoins(std::string nickname, uint64 channel);
    void ClientLeaves(anyID client, std::string message = "");
    // The client moves by itself (onClientMoveEvent).
    void MoveClient(anyID client, uint64 channel, std::string message = "");
    // Another client moves it (onClientMoveMovedEvent naming the mover).
    void MoveClientBy(anyID client, uint64 channel, anyID mover, std::string message = "");
    void SetSubscribed(uint64 channel, bool subscribed);
    void SetTalking(anyID client, int status, bool isReceivedWhisper = false);
    // A variable of another client changes (onUpdateClientEvent).
    void UpdateClient(anyID client, std::size_t flag, std::string value);
    // The user changes an own variable in the client's interface
    // (onClientSelfVariableUpdateEvent, then onUpdateClientEvent).
    void UpdateOwnVariable(std::size_t flag, std::string value);

    // --- reading (SimServer.cpp) ---
    int Status() const;
    anyID OwnClient() const;
    SimClient Own() const;
    SimClient Client(anyID client) const;
    SimChannel Channel(uint64 channel) const;
    std::vector<SimClient> Clients() const;
    std::vector<SimChannel> Channels() const;
    std::optional<anyID> FindClient(std::string_view nickname) const;
    std::optional<uint64> FindChannel(std::string_view name) const;
    uint64 ChannelOf(anyID client) const;
    // The whisper list set for `client` (0: the own client); absent when none was set.
    std::optional<WhisperList> Whispers(anyID client = 0) const;
    ListenerAttributes Listener() const;
    std::optional<TeamSpeak::TS3_VECTOR> PositionOf(anyID client) const;
    std::vector<WavePlayback> Playbacks() const;
    std::string PreProcessorValue(std::string_view identifier) const;

private:
    template <typename Action> auto Locked(Action&& action) const;

    SimulatedClient& _client;
    const uint64 _handler;
};

} // namespace Tralvonic::Sim
