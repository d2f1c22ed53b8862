#pragma once
// Shared by the host functions and SimServer: running code on one tab's state under the
// world lock. Inside such code only the world is touched and events are queued; the
// plugin is never called there.

#include "SimServer.h"
#include "SimulatedClient.h"
#include "World.h"

#include "TeamSpeak/sdk/ErrorCodes.h"

#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic::Sim {

constexpr unsigned int Code(TeamSpeak::Error error) {
    return static_cast<unsigned int>(error);
}

inline constexpr unsigned int Ok = Code(TeamSpeak::Error::Ok);

// Hands the plugin a host-allocated copy, as the real client does for every string and
// zero-terminated list it returns.
inline unsigned int GiveString(SimulatedClient& client, char** result, std::string_view text) {
    if (result == nullptr) {
        return Code(TeamSpeak::Error::ParameterInvalid);
    }
    *result = client.Memory().AllocateString(text);
    return Ok;
}

template <typename T>
unsigned int GiveList(SimulatedClient& client, T** result, const std::vector<T>& values) {
    if (result == nullptr) {
        return Code(TeamSpeak::Error::ParameterInvalid);
    }
    *result = client.Memory().AllocateZeroTerminated(values);
    return Ok;
}

template <typename T, typename V> unsigned int GiveValue(T* result, V value) {
    if (result == nullptr) {
        return Code(TeamSpeak::Error::ParameterInvalid);
    }
    *result = static_cast<T>(value);
    return Ok;
}

// Reads a zero-terminated id list the plugin passed, without its terminator.
template <typename T> std::vector<T> ReadList(const T* list) {
    std::vector<T> values;
    for (; list != nullptr && *list != 0; ++list) {
        values.push_back(*list);
    }
    return values;
}

SimClient& RequireClient(ServerState& server, anyID client);
SimChannel& RequireChannel(ServerState& server, uint64 channel);

template <typename Action> auto SimServer::Locked(Action&& action) const {
    World& world = _client.GetWorld();
    std::lock_guard lock(world.Mutex);
    ServerState* server = world.FindServer(_handler);
    if (server == nullptr) {
        throw std::out_of_range("no server tab " + std::to_string(_handler));
    }
    return action(*server);
}

// For host functions: the SDK's answer for an unknown tab and for a tab without a
// connection, else whatever `action` answers.
template <typename Action> unsigned int WithServer(SimulatedClient& client, uint64 handler, Action&& action) {
    World& world = client.GetWorld();
    std::lock_guard lock(world.Mutex);
    ServerState* server = world.FindServer(handler);
    if (server == nullptr) {
        return Code(TeamSpeak::Error::InvalidServerConnectionHandlerId);
    }
    if (!server->IsConnected()) {
        return Code(TeamSpeak::Error::NotConnected);
    }
    return action(*server);
}

} // namespace Tralvonic::Sim
