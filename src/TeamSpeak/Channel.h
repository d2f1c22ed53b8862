#pragma once
// One channel of a server tab, seen through its id and the tab it belongs to (which may
// be missing). Every property is a fresh host call; nothing is cached and no lock is taken,
// and the object may be used from any thread.

#include "TeamSpeak/Error.h"
#include "TeamSpeak/OwnedIdentity.h"
#include "TeamSpeak/Server.h"
#include "TeamSpeak/sdk/HostTypes.h"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace TeamSpeak {

class Client;

class Channel {
public:
    // The "none" channel: no server and id 0.
    static const Channel Zero;

    constexpr Channel() noexcept = default;
    constexpr Channel(const TeamSpeak::Server& server, uint64 id) noexcept : _server(server), _id(id) {}
    constexpr Channel(std::optional<TeamSpeak::Server> server, uint64 id) noexcept
        : _server(server), _id(id) {}

    const std::optional<TeamSpeak::Server>& Server() const noexcept { return _server; }
    uint64 Id() const noexcept { return _id; }
    // Id 0, or no server.
    bool IsZero() const noexcept { return IsZeroOwned(_server, _id); }

    // --- properties ---
    std::string Name() const;
    // Renames the channel and flushes; nothing for a zero channel.
    void SetName(std::string_view name) const;
    // Missing for a top-level channel.
    std::optional<Channel> Parent() const;
    // Empty when the host cannot list them.
    std::vector<Client> Clients() const;
    bool IsSubscibed() const;
    bool IsForceSilenced() const;

    // --- moving clients in ---
    // Moves the own client; an empty password counts as none.
    TeamSpeak::Error Join(std::string_view password = {}) const;
    // The host's answer to the move request; the move itself follows later.
    TeamSpeak::Error Join(const Client& client, std::string_view password = {}) const;
    void Join(std::span<const Client> clients, std::string_view password = {}) const;

    // --- requests ---
    // Mutes (true) or unmutes every other client in the channel for the user.
    void MuteClients(bool toggle) const;
    void FlushUpdates() const;

    // --- comparison and text ---
    // Same id on Equals servers (so also across two tabs on one server), or both zero.
    bool Equals(const Channel& other) const;
    friend bool operator==(const Channel& left, const Channel& right) { return left.Equals(right); }
    std::size_t GetHashCode() const;
    // "Channel ID: {id} | Server ID: {server unique identifier}"
    std::string ToString() const;

private:
    uint64 ServerId() const noexcept { return _server ? _server->Id() : 0; }

    std::optional<TeamSpeak::Server> _server;
    uint64 _id = 0;
};

inline constexpr Channel Channel::Zero{};

std::ostream& operator<<(std::ostream& stream, const Channel& channel);

} // namespace TeamSpeak

template <> struct std::hash<TeamSpeak::Channel> {
    std::size_t operator()(const TeamSpeak::Channel& channel) const { return channel.GetHashCode(); }
};
