// Server tabs and their connections: handler list, status, own client id, server
// variables, connection variables and connect info.

#include "HostEntry.h"
#include "HostTable.h"
#include "WorldAccess.h"

#include <cstring>

namespace Tralvonic::Sim {

using namespace TeamSpeak;
using F = TS3Functions;

namespace {

uint64 GetCurrentServerConnectionHandlerID(SimulatedClient& client) {
    World& world = client.GetWorld();
    std::lock_guard lock(world.Mutex);
    return world.CurrentHandler;
}

unsigned int GetServerConnectionHandlerList(SimulatedClient& client, uint64** result) {
    std::vector<uint64> handlers;
    {
        World& world = client.GetWorld();
        std::lock_guard lock(world.Mutex);
        for (const auto& server : world.Servers) {
            handlers.push_back(server->Handler);
        }
    }
    return GiveList(client, result, handlers);
}

// The one query that answers for a tab without a connection.
unsigned int GetConnectionStatus(SimulatedClient& client, uint64 handler, int* result) {
    World& world = client.GetWorld();
    std::lock_guard lock(world.Mutex);
    ServerState* server = world.FindServer(handler);
    if (server == nullptr) {
        return Code(Error::InvalidServerConnectionHandlerId);
    }
    return GiveValue(result, server->Status);
}

unsigned int GetClientID(SimulatedClient& client, uint64 handler, anyID* result) {
    return WithServer(client, handler, [&](ServerState& server) {
        if (server.OwnClient == 0) {
            return Code(Error::NotConnected);
        }
        return GiveValue(result, server.OwnClient);
    });
}

unsigned int GetServerVariableAsInt(SimulatedClient& client, uint64 handler, std::size_t flag, int* result) {
    return WithServer(client, handler, [&](ServerState& server) {
        const auto value =
            flag == VIRTUALSERVER_CLIENTS_ONLINE    ? static_cast<std::int64_t>(server.Clients.size())
            : flag == VIRTUALSERVER_CHANNELS_ONLINE ? static_cast<std::int64_t>(server.Channels.size())
                                                    : server.Values.Number(flag);
        return GiveValue(result, value);
    });
}

unsigned int GetServerVariableAsUInt64(SimulatedClient& client, uint64 handler, std::size_t flag,
                                       uint64* result) {
    return WithServer(client, handler,
                      [&](ServerState& server) { return GiveValue(result, server.Values.Number(flag)); });
}

unsigned int GetServerVariableAsString(SimulatedClient& client, uint64 handler, std::size_t flag,
                                       char** result) {
    return WithServer(client, handler, [&](ServerState& server) {
        return GiveString(client, result, server.Values.Text(flag));
    });
}

unsigned int RequestServerVariables(SimulatedClient& client, uint64 handler) {
    return WithServer(client, handler, [](ServerState&) { return Ok; });
}

unsigned int GetConnectionVariableAsString(SimulatedClient& client, uint64 handler, anyID clientId,
                                           std::size_t flag, char** result) {
    return WithServer(client, handler, [&](ServerState& server) {
        if (server.FindClient(clientId) == nullptr) {
            return Code(Error::ClientInvalidId);
        }
        std::string value;
        if (flag == CONNECTION_SERVER_IP) {
            value = server.ServerIp;
        } else if (flag == CONNECTION_SERVER_PORT) {
            value = std::to_string(server.ServerPort);
        }
        return GiveString(client, result, value);
    });
}

// The caller's buffers hold `maxLength` bytes each; a value that does not fit is refused
// rather than cut, so the plugin never reads a truncated host name as a valid one.
unsigned int GetServerConnectInfo(SimulatedClient& client, uint64 handler, char* host, unsigned short* port,
                                  char* password, std::size_t maxLength) {
    World& world = client.GetWorld();
    std::lock_guard lock(world.Mutex);
    ServerState* server = world.FindServer(handler);
    if (server == nullptr) {
        return Code(Error::InvalidServerConnectionHandlerId);
    }
    if ((host != nullptr && server->ConnectHost.size() >= maxLength) ||
        (password != nullptr && server->ConnectPassword.size() >= maxLength)) {
        return Code(Error::ParameterInvalidSize);
    }
    if (host != nullptr) {
        std::memcpy(host, server->ConnectHost.c_str(), server->ConnectHost.size() + 1);
    }
    if (password != nullptr) {
        std::memcpy(password, server->ConnectPassword.c_str(), server->ConnectPassword.size() + 1);
    }
    if (port != nullptr) {
        *port = server->ConnectPort;
    }
    return Ok;
}

} // namespace

void InstallConnection(TS3Functions& table) {
    Install<&F::getCurrentServerConnectionHandlerID, &GetCurrentServerConnectionHandlerID>(table);
    Install<&F::getServerConnectionHandlerList, &GetServerConnectionHandlerList>(table);
    Install<&F::getConnectionStatus, &GetConnectionStatus>(table);
    Install<&F::getClientID, &GetClientID>(table);
    Install<&F::getServerVariableAsInt, &GetServerVariableAsInt>(table);
    Install<&F::getServerVariableAsUInt64, &GetServerVariableAsUInt64>(table);
    Install<&F::getServerVariableAsString, &GetServerVariableAsString>(table);
    Install<&F::requestServerVariables, &RequestServerVariables>(table);
    Install<&F::getConnectionVariableAsString, &GetConnectionVariableAsString>(table);
    Install<&F::getServerConnectInfo, &GetServerConnectInfo>(table);
}

} // namespace Tralvonic::Sim
