#pragma once
// What the simulated client knows: its server tabs, each with a channel tree, the clients
// in view, the own client's pending changes, whisper lists, 3D attributes and sounds; and
// the client-wide chat tab and permission tables. Plain records; the host functions and
// SimServer read and change them under World::Mutex and never call the plugin while
// holding it.

#include "TeamSpeak/sdk/HostTypes.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic::Sim {

using TeamSpeak::anyID;
using TeamSpeak::uint64;

// Variables by SDK property number, as text; numbers are stored in decimal. A variable
// never set reads as "" or 0, as on the real client.
class Variables {
public:
    std::string Text(std::size_t flag) const;
    std::int64_t Number(std::size_t flag) const;
    void Set(std::size_t flag, std::string value) { _values[flag] = std::move(value); }
    void Set(std::size_t flag, std::int64_t value) { _values[flag] = std::to_string(value); }

private:
    std::map<std::size_t, std::string> _values;
};

struct SimChannel {
    uint64 Id = 0;
    uint64 Parent = 0;
    Variables Values;

    std::string Name() const;
    std::string Password() const;
    bool IsSubscribed() const;
    bool IsForceSilenced() const;
};

struct SimClient {
    anyID Id = 0;
    uint64 Channel = 0;
    Variables Values;
    std::optional<TeamSpeak::TS3_VECTOR> Position; // set by channelset3DAttributes

    std::string Nickname() const;
    std::string UniqueIdentifier() const;
    uint64 DatabaseId() const;
    std::string MetaData() const;
    bool IsTalking() const;
    bool IsInputMuted() const;
    bool IsOutputMuted() const;
    bool IsOutputOnlyMuted() const;
    bool HasInputHardware() const;
    bool HasOutputHardware() const;
    bool IsInputDeactivated() const;
    bool IsLocallyMuted() const;
};

// A whisper list as the plugin last set it; a missing list is kept apart from an empty one.
struct WhisperList {
    std::optional<std::vector<uint64>> Channels; // without the terminating 0
    std::optional<std::vector<anyID>> Clients;   // without the terminating 0
};

struct ListenerAttributes {
    TeamSpeak::TS3_VECTOR Position{};
    TeamSpeak::TS3_VECTOR Forward{};
    TeamSpeak::TS3_VECTOR Up{};
};

struct WavePlayback {
    uint64 Handle = 0;
    std::string Path;
    bool Loop = false;
    bool Paused = false;
    bool Closed = false;
};

struct ServerState {
    uint64 Handler = 0;
    int Status = 0;
    Variables Values; // VirtualServerProperties
    std::string ConnectHost;
    unsigned short ConnectPort = 9987;
    std::string ConnectPassword;
    std::string ServerIp;
    unsigned short ServerPort = 9987;
    anyID OwnClient = 0;
    std::vector<SimChannel> Channels; // in host order
    std::vector<SimClient> Clients;   // in host order
    std::map<std::size_t, std::string> PendingSelfUpdates;
    std::map<uint64, std::map<std::size_t, std::string>> PendingChannelUpdates;
    std::map<anyID, WhisperList> WhisperLists; // by the client the list was set for
    ListenerAttributes Listener;
    std::vector<WavePlayback> Playbacks;
    uint64 NextWaveHandle = 1;
    std::map<std::string, std::string, std::less<>> PreProcessor{
        {"vad", "false"}, {"voiceactivation_level", "-50"}, {"agc", "true"}, {"denoise", "true"}};
    std::optional<unsigned int> MoveRefusal; // server-side answer to the next move request

    SimChannel* FindChannel(uint64 id);
    SimClient* FindClient(anyID id);
    SimClient* Own() { return FindClient(OwnClient); }
    bool IsConnected() const { return Status != 0; }
};

struct PermissionOverviewEntry {
    uint64 ClientDatabaseId = 0;
    uint64 ChannelId = 0;
    int OverviewType = 0;
    uint64 OverviewId1 = 0;
    uint64 OverviewId2 = 0;
    unsigned int PermissionId = 0;
    int PermissionValue = 0;
    int PermissionNegated = 0;
    int PermissionSkip = 0;
};

// How the server answers requestPermissionOverview: the entries then the finished event,
// or, when `Error` is set, a permission error naming `FailedPermissionId`.
struct PermissionOverviewAnswer {
    std::vector<PermissionOverviewEntry> Entries;
    std::optional<unsigned int> Error;
    unsigned int FailedPermissionId = 0;
};

struct World {
    mutable std::mutex Mutex;
    std::vector<std::unique_ptr<ServerState>> Servers; // guarded by Mutex
    uint64 CurrentHandler = 0;                         // guarded by Mutex
    uint64 NextHandler = 1;                            // guarded by Mutex
    std::vector<std::string> ChatMessages;             // guarded by Mutex; printMessageToCurrentTab
    std::map<std::string, unsigned int, std::less<>> PermissionIds; // guarded by Mutex
    PermissionOverviewAnswer OverviewAnswer;                        // guarded by Mutex

    // Under Mutex: null when no tab has this handler.
    ServerState* FindServer(uint64 handler);
};

} // namespace Tralvonic::Sim
