#pragma once
// One client in view on a server tab, seen through its id and the tab it belongs to (which
// may be missing). Every property is a fresh host call; nothing is cached and no lock is
// taken, and the object may be used from any thread. Writes to the user's own variables
// are made only on the local client and are skipped silently on any other.

#include "TeamSpeak/Channel.h"
#include "TeamSpeak/Error.h"
#include "TeamSpeak/OwnedIdentity.h"
#include "TeamSpeak/Server.h"
#include "TeamSpeak/TSVector.h"
#include "TeamSpeak/sdk/HostTypes.h"

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace TeamSpeak {

class Client {
public:
    // The "none" client: no server and id 0.
    static const Client Zero;

    constexpr Client() noexcept = default;
    constexpr Client(const TeamSpeak::Server& server, anyID id) noexcept : _server(server), _id(id) {}
    constexpr Client(std::optional<TeamSpeak::Server> server, anyID id) noexcept : _server(server), _id(id) {}

    const std::optional<TeamSpeak::Server>& Server() const noexcept { return _server; }
    anyID Id() const noexcept { return _id; }
    // No server, or id 0.
    bool IsZero() const noexcept { return IsZeroOwned(_server, _id); }
    // The user's own client on its tab; never true for a zero client.
    bool IsLocal() const;

    // --- identity ---
    std::string UniqueIdentifier() const;
    uint64 DatabaseId() const;
    std::string Name() const;
    // Renames the user; flushed only when the host took the new name.
    void SetName(std::string_view name) const;

    // --- voice and sound states ---
    // Voice activation of the own capture; false for any other client.
    bool Vad() const;
    void SetVad(bool enabled) const;
    bool IsLocallyMuted() const;
    // Mutes or unmutes this client for the user; works on any client.
    void SetIsLocallyMuted(bool muted) const;
    bool IsTalking() const;
    bool IsMicrophoneMuted() const;
    void SetIsMicrophoneMuted(bool muted) const;
    // True also when the host cannot say.
    bool IsMicrophoneEnabled() const;
    void SetIsMicrophoneEnabled(bool enabled) const;
    bool IsMicrophoneHarwareActive() const;
    bool IsSoundMuted() const;
    void SetIsSoundMuted(bool muted) const;
    bool IsSoundEnabled() const;

    // --- channel ---
    // Channel::Zero when the host cannot tell.
    TeamSpeak::Channel Channel() const;
    TeamSpeak::Error Move(const TeamSpeak::Channel& channel, std::string_view password = {}) const;

    // --- 3D positions: the listener for the local client, a voice source for the others ---
    void Set3DPosition(const TSVector& position) const;
    void Set3DListenerPosition(const TSVector& position, const TSVector& forward, const TSVector& up) const;
    void Reset3DPosition() const;

    // --- whisper list and chat tab ---
    // Either list may be missing; the host receives present lists zero-terminated.
    void SetWhisperTargets(std::optional<std::vector<uint64>> channels,
                           std::optional<std::vector<anyID>> clients) const;
    // Writes to the current chat tab, links turned into BB-code; local client only.
    void PrintMessage(std::string_view message) const;

    // --- meta data elements <key>value</key>, shared with other plugins ---
    // "" when the element or the meta data is unavailable.
    std::string GetMetaData(std::string_view key) const;
    // Local client only: the element is replaced and moved to the end.
    void SetMetaData(std::string_view key, std::string_view value) const;
    void RemoveMetaData(std::string_view key) const;

    void FlushUpdates() const;

    // --- comparison and text ---
    // Same id on Equals servers (so also across two tabs on one server), or both zero.
    bool Equals(const Client& other) const;
    friend bool operator==(const Client& left, const Client& right) { return left.Equals(right); }
    std::size_t GetHashCode() const;
    // "Client ID: {id} | Server ID: {server unique identifier}"
    std::string ToString() const;

private:
    uint64 ServerId() const noexcept { return _server ? _server->Id() : 0; }
    bool IntVariableIs(std::size_t flag, int expected) const;
    void WriteOwnFlag(std::size_t flag, bool set) const;
    void SetListener(const TSVector& position, const TSVector& forward, const TSVector& up) const;
    void SetSourcePosition(const TSVector& position) const;
    void RequestMute(bool muted) const;
    // False when the meta data could not be read.
    bool ReadMetaData(std::string& metaData) const;
    void WriteMetaData(const std::string& metaData) const;

    std::optional<TeamSpeak::Server> _server;
    anyID _id = 0;
};

inline constexpr Client Client::Zero{};

std::ostream& operator<<(std::ostream& stream, const Client& client);

} // namespace TeamSpeak

template <> struct std::hash<TeamSpeak::Client> {
    std::size_t operator()(const TeamSpeak::Client& client) const { return client.GetHashCode(); }
};
