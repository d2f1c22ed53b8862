#pragma once
// One server tab of the host (one server connection handler), seen through its id only.
// Every property is a fresh host call, so two reads may differ; nothing is cached and no
// lock is taken, and the object may be used from any thread.

#include "TeamSpeak/ServerConnectionInfo.h"
#include "TeamSpeak/sdk/HostEnums.h"
#include "TeamSpeak/sdk/HostTypes.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace TeamSpeak {

class Channel;
class Client;

class Server {
public:
    // The "none" server: handler id 0.
    static const Server Zero;

    constexpr Server() noexcept = default;
    explicit constexpr Server(uint64 id) noexcept : _id(id) {}

    uint64 Id() const noexcept { return _id; }
    // Id 0, or a tab the host reports as disconnected (also when it cannot say).
    bool IsZero() const;

    // --- the host's tabs ---
    // The tab the user looks at; Zero when there is none.
    static Server CurrentServer();
    // Tabs whose connection is established, in the host's order; empty on failure.
    static std::vector<Server> ConnectedServers();
    // The first connected tab whose unique identifier matches exactly (case-sensitive).
    static bool TryGetServer(std::string_view uniqueIdentifier, Server& server);

    // --- identity and state ---
    // Client::Zero when the host cannot tell the own client id.
    Client LocalClient() const;
    std::string UniqueIdentifier() const;
    std::string Name() const;
    ConnectStatus ConnectionStatus() const;

    // --- channels ---
    std::vector<Channel> Channels() const;
    bool TryGetChannel(uint64 id, Channel& channel) const;
    bool TryGetChannel(std::string_view name, Channel& channel) const;

    // --- sounds ---
    // The host's wave handle, 0 when it gave none.
    uint64 PlaySound(std::string_view path, bool loop) const;
    void PlaySound(std::string_view path) const;
    void PauseSound(uint64 handle, bool pause) const;
    void StopSound(uint64 handle) const;

    // --- server variables and connection ---
    void RequestVariables() const;
    // "ip:port" of the server as connected; either part empty when unknown.
    std::string ConnectionString() const;
    ServerConnectionInfo ConnectionInfo() const;
    std::int32_t OnlineClients() const;
    std::int32_t MaxClients() const;
    std::string WelcomeMessage() const;
    std::string Platform() const;
    std::string Version() const;
    std::string Created() const;
    std::string Uptime() const;
    TeamSpeak::CodecEncryptionMode CodecEncryptionMode() const;

    // --- comparison and text ---
    // The same tab: equal handler ids, or both zero. Asks the host nothing when the ids match.
    friend bool operator==(const Server& left, const Server& right);
    // The same server, possibly on two tabs: equal unique identifiers, or both zero.
    bool Equals(const Server& other) const;
    // Hash of the unique identifier, so that it agrees with Equals.
    std::size_t GetHashCode() const;
    // The unique identifier.
    std::string ToString() const;

private:
    std::string StringVariable(std::size_t flag) const;
    std::int32_t IntVariable(std::size_t flag) const;

    uint64 _id = 0;
};

inline constexpr Server Server::Zero{};

std::ostream& operator<<(std::ostream& stream, const Server& server);

} // namespace TeamSpeak

template <> struct std::hash<TeamSpeak::Server> {
    std::size_t operator()(const TeamSpeak::Server& server) const { return server.GetHashCode(); }
};
