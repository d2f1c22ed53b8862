// Clients in view and the own client: variables, the own-variable writes that take effect
// on flushClientSelfUpdates, the client list and the sound pre-processor settings.

#include "HostEntry.h"
#include "HostTable.h"
#include "WorldAccess.h"

#include <algorithm>
#include <array>

namespace Tralvonic::Sim {

using namespace TeamSpeak;
using F = TS3Functions;

namespace {

// The own variables a client may change; the others belong to the server or the device.
constexpr std::array<std::size_t, 10> WritableSelfVariables{
    CLIENT_NICKNAME,    CLIENT_INPUT_MUTED,       CLIENT_OUTPUT_MUTED, CLIENT_OUTPUTONLY_MUTED,
    CLIENT_META_DATA,   CLIENT_INPUT_DEACTIVATED, CLIENT_AWAY,         CLIENT_AWAY_MESSAGE,
    CLIENT_DESCRIPTION, CLIENT_NICKNAME_PHONETIC};

template <typename Action>
unsigned int WithClient(SimulatedClient& client, uint64 handler, anyID clientId, Action&& action) {
    return WithServer(client, handler, [&](ServerState& server) {
        SimClient* found = server.FindClient(clientId);
        return found != nullptr ? action(*found) : Code(Error::ClientInvalidId);
    });
}

unsigned int GetClientVariableAsInt(SimulatedClient& client, uint64 handler, anyID clientId, std::size_t flag,
                                    int* result) {
    return WithClient(client, handler, clientId,
                      [&](SimClient& found) { return GiveValue(result, found.Values.Number(flag)); });
}

unsigned int GetClientVariableAsUInt64(SimulatedClient& client, uint64 handler, anyID clientId,
                                       std::size_t flag, uint64* result) {
    return WithClient(client, handler, clientId,
                      [&](SimClient& found) { return GiveValue(result, found.Values.Number(flag)); });
}

unsigned int GetClientVariableAsString(SimulatedClient& client, uint64 handler, anyID clientId,
                                       std::size_t flag, char** result) {
    return WithClient(client, handler, clientId,
                      [&](SimClient& found) { return GiveString(client, result, found.Values.Text(flag)); });
}

unsigned int GetClientSelfVariableAsInt(SimulatedClient& client, uint64 handler, std::size_t flag,
                                        int* result) {
    return WithServer(client, handler, [&](ServerState& server) {
        const SimClient* own = server.Own();
        return own != nullptr ? GiveValue(result, own->Values.Number(flag)) : Code(Error::NotConnected);
    });
}

unsigned int GetClientSelfVariableAsString(SimulatedClient& client, uint64 handler, std::size_t flag,
                                           char** result) {
    return WithServer(client, handler, [&](ServerState& server) {
        const SimClient* own = server.Own();
        return own != nullptr ? GiveString(client, result, own->Values.Text(flag))
                              : Code(Error::NotConnected);
    });
}

unsigned int SetPendingSelfValue(SimulatedClient& client, uint64 handler, std::size_t flag,
                                 std::string value) {
    return WithServer(client, handler, [&](ServerState& server) {
        if (std::find(WritableSelfVariables.begin(), WritableSelfVariables.end(), flag) ==
            WritableSelfVariables.end()) {
            return Code(Error::ParameterInvalid);
        }
        server.PendingSelfUpdates[flag] = std::move(value);
        return Ok;
    });
}

unsigned int SetClientSelfVariableAsInt(SimulatedClient& client, uint64 handler, std::size_t flag,
                                        int value) {
    return SetPendingSelfValue(client, handler, flag, std::to_string(value));
}

unsigned int SetClientSelfVariableAsString(SimulatedClient& client, uint64 handler, std::size_t flag,
                                           const char* value) {
    if (value == nullptr) {
        return Code(Error::ParameterInvalid);
    }
    return SetPendingSelfValue(client, handler, flag, value);
}

void RaiseNicknameInUse(SimulatedClient& client, uint64 handler, std::string returnCode) {
    client.Raise([=](const PluginExports& plugin) {
        if (plugin.onServerErrorEvent) {
            plugin.onServerErrorEvent(handler, "nickname is already in use", Code(Error::ClientNicknameInuse),
                                      returnCode.c_str(), "");
        }
    });
}

// The pending writes go out as one update. A nickname another client uses refuses the whole
// update (onServerErrorEvent); otherwise every changed variable raises
// onClientSelfVariableUpdateEvent, followed by one onUpdateClientEvent for the own client.
unsigned int FlushClientSelfUpdates(SimulatedClient& client, uint64 handler, const char* returnCode) {
    const std::string code = returnCode != nullptr ? returnCode : "";
    return WithServer(client, handler, [&](ServerState& server) {
        SimClient* own = server.Own();
        if (own == nullptr) {
            return Code(Error::NotConnected);
        }
        auto pending = std::move(server.PendingSelfUpdates);
        server.PendingSelfUpdates.clear();
        if (auto nickname = pending.find(CLIENT_NICKNAME); nickname != pending.end()) {
            for (const SimClient& other : server.Clients) {
                if (other.Id != own->Id && other.Nickname() == nickname->second) {
                    RaiseNicknameInUse(client, handler, code);
                    return Ok;
                }
            }
        }
        struct Change {
            int Flag;
            std::string OldValue;
            std::string NewValue;
        };
        std::vector<Change> changes;
        for (auto& [flag, value] : pending) {
            std::string old = own->Values.Text(flag);
            if (old != value) {
                changes.push_back({static_cast<int>(flag), std::move(old), value});
                own->Values.Set(flag, std::move(value));
            }
        }
        if (changes.empty()) {
            return Ok;
        }
        const anyID ownId = own->Id;
        const std::string name = own->Nickname();
        const std::string uniqueIdentifier = own->UniqueIdentifier();
        client.Raise([=](const PluginExports& plugin) {
            for (const Change& change : changes) {
                if (plugin.onClientSelfVariableUpdateEvent) {
                    plugin.onClientSelfVariableUpdateEvent(handler, change.Flag, change.OldValue.c_str(),
                                                           change.NewValue.c_str());
                }
            }
            if (plugin.onUpdateClientEvent) {
                plugin.onUpdateClientEvent(handler, ownId, ownId, name.c_str(), uniqueIdentifier.c_str());
            }
        });
        client.NotifyChanged();
        return Ok;
    });
}

unsigned int GetClientList(SimulatedClient& client, uint64 handler, anyID** result) {
    return WithServer(client, handler, [&](ServerState& server) {
        std::vector<anyID> ids;
        for (const SimClient& inView : server.Clients) {
            ids.push_back(inView.Id);
        }
        return GiveList(client, result, ids);
    });
}

// The pre-processor belongs to the tab's capture device, which exists with or without a
// connection.
template <typename Action>
unsigned int WithPreProcessor(SimulatedClient& client, uint64 handler, const char* identifier,
                              Action&& action) {
    if (identifier == nullptr) {
        return Code(Error::ParameterInvalid);
    }
    World& world = client.GetWorld();
    std::lock_guard lock(world.Mutex);
    ServerState* server = world.FindServer(handler);
    if (server == nullptr) {
        return Code(Error::InvalidServerConnectionHandlerId);
    }
    return action(*server, std::string(identifier));
}

unsigned int GetPreProcessorConfigValue(SimulatedClient& client, uint64 handler, const char* identifier,
                                        char** result) {
    return WithPreProcessor(client, handler, identifier, [&](ServerState& server, const std::string& name) {
        auto found = server.PreProcessor.find(name);
        return found != server.PreProcessor.end() ? GiveString(client, result, found->second)
                                                  : Code(Error::ParameterInvalid);
    });
}

unsigned int SetPreProcessorConfigValue(SimulatedClient& client, uint64 handler, const char* identifier,
                                        const char* value) {
    if (value == nullptr) {
        return Code(Error::ParameterInvalid);
    }
    const unsigned int code =
        WithPreProcessor(client, handler, identifier, [&](ServerState& server, const std::string& name) {
            server.PreProcessor[name] = value;
            return Ok;
        });
    client.NotifyChanged();
    return code;
}

} // namespace

void InstallClients(TS3Functions& table) {
    Install<&F::getClientVariableAsInt, &GetClientVariableAsInt>(table);
    Install<&F::getClientVariableAsUInt64, &GetClientVariableAsUInt64>(table);
    Install<&F::getClientVariableAsString, &GetClientVariableAsString>(table);
    Install<&F::getClientSelfVariableAsInt, &GetClientSelfVariableAsInt>(table);
    Install<&F::getClientSelfVariableAsString, &GetClientSelfVariableAsString>(table);
    Install<&F::setClientSelfVariableAsInt, &SetClientSelfVariableAsInt>(table);
    Install<&F::setClientSelfVariableAsString, &SetClientSelfVariableAsString>(table);
    Install<&F::flushClientSelfUpdates, &FlushClientSelfUpdates>(table);
    Install<&F::getClientList, &GetClientList>(table);
    Install<&F::getPreProcessorConfigValue, &GetPreProcessorConfigValue>(table);
    Install<&F::setPreProcessorConfigValue, &SetPreProcessorConfigValue>(table);
}

} // namespace Tralvonic::Sim
