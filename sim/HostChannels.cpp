// The channel tree: lists, variables, the channel edits that take effect on
// flushChannelUpdates, parents, and which client sits where.

#include "HostEntry.h"
#include "HostTable.h"
#include "WorldAccess.h"

namespace Tralvonic::Sim {

using namespace TeamSpeak;
using F = TS3Functions;

namespace {

template <typename Action>
unsigned int WithChannel(SimulatedClient& client, uint64 handler, uint64 channel, Action&& action) {
    return WithServer(client, handler, [&](ServerState& server) {
        SimChannel* found = server.FindChannel(channel);
        return found != nullptr ? action(server, *found) : Code(Error::ChannelInvalidId);
    });
}

unsigned int GetChannelList(SimulatedClient& client, uint64 handler, uint64** result) {
    return WithServer(client, handler, [&](ServerState& server) {
        std::vector<uint64> ids;
        for (const SimChannel& channel : server.Channels) {
            ids.push_back(channel.Id);
        }
        return GiveList(client, result, ids);
    });
}

unsigned int GetChannelVariableAsInt(SimulatedClient& client, uint64 handler, uint64 channel,
                                     std::size_t flag, int* result) {
    return WithChannel(client, handler, channel, [&](ServerState&, SimChannel& found) {
        return GiveValue(result, found.Values.Number(flag));
    });
}

unsigned int GetChannelVariableAsUInt64(SimulatedClient& client, uint64 handler, uint64 channel,
                                        std::size_t flag, uint64* result) {
    return WithChannel(client, handler, channel, [&](ServerState&, SimChannel& found) {
        return GiveValue(result, found.Values.Number(flag));
    });
}

unsigned int GetChannelVariableAsString(SimulatedClient& client, uint64 handler, uint64 channel,
                                        std::size_t flag, char** result) {
    return WithChannel(client, handler, channel, [&](ServerState&, SimChannel& found) {
        return GiveString(client, result, found.Values.Text(flag));
    });
}

unsigned int SetPendingChannelValue(SimulatedClient& client, uint64 handler, uint64 channel, std::size_t flag,
                                    std::string value) {
    return WithChannel(client, handler, channel, [&](ServerState& server, SimChannel&) {
        server.PendingChannelUpdates[channel][flag] = std::move(value);
        return Ok;
    });
}

unsigned int SetChannelVariableAsInt(SimulatedClient& client, uint64 handler, uint64 channel,
                                     std::size_t flag, int value) {
    return SetPendingChannelValue(client, handler, channel, flag, std::to_string(value));
}

unsigned int SetChannelVariableAsUInt64(SimulatedClient& client, uint64 handler, uint64 channel,
                                        std::size_t flag, uint64 value) {
    return SetPendingChannelValue(client, handler, channel, flag, std::to_string(value));
}

unsigned int SetChannelVariableAsString(SimulatedClient& client, uint64 handler, uint64 channel,
                                        std::size_t flag, const char* value) {
    if (value == nullptr) {
        return Code(Error::ParameterInvalid);
    }
    return SetPendingChannelValue(client, handler, channel, flag, value);
}

// The edit goes to the server as one command: it is applied as a whole, or refused as a
// whole through onServerErrorEvent (a sibling of the same name), with Ok returned either way.
unsigned int FlushChannelUpdates(SimulatedClient& client, uint64 handler, uint64 channel,
                                 const char* returnCode) {
    const std::string code = returnCode != nullptr ? returnCode : "";
    return WithChannel(client, handler, channel, [&](ServerState& server, SimChannel& edited) {
        auto pending = server.PendingChannelUpdates.find(channel);
        if (pending == server.PendingChannelUpdates.end()) {
            return Ok;
        }
        auto changes = std::move(pending->second);
        server.PendingChannelUpdates.erase(pending);
        if (auto name = changes.find(CHANNEL_NAME); name != changes.end()) {
            for (const SimChannel& sibling : server.Channels) {
                if (sibling.Id != channel && sibling.Parent == edited.Parent &&
                    sibling.Name() == name->second) {
                    client.Raise([=](const PluginExports& plugin) {
                        if (plugin.onServerErrorEvent) {
                            plugin.onServerErrorEvent(handler, "channel name is already in use",
                                                      Code(Error::ChannelNameInuse), code.c_str(), "");
                        }
                    });
                    return Ok;
                }
            }
        }
        for (auto& [flag, value] : changes) {
            edited.Values.Set(flag, std::move(value));
        }
        const SimClient* own = server.Own();
        const anyID invoker = own != nullptr ? own->Id : 0;
        const std::string name = own != nullptr ? own->Nickname() : "";
        const std::string uniqueIdentifier = own != nullptr ? own->UniqueIdentifier() : "";
        client.Raise([=](const PluginExports& plugin) {
            if (plugin.onUpdateChannelEvent) {
                plugin.onUpdateChannelEvent(handler, channel);
            }
            if (plugin.onUpdateChannelEditedEvent) {
                plugin.onUpdateChannelEditedEvent(handler, channel, invoker, name.c_str(),
                                                  uniqueIdentifier.c_str());
            }
        });
        client.NotifyChanged();
        return Ok;
    });
}

unsigned int GetParentChannelOfChannel(SimulatedClient& client, uint64 handler, uint64 channel,
                                       uint64* result) {
    return WithChannel(client, handler, channel,
                       [&](ServerState&, SimChannel& found) { return GiveValue(result, found.Parent); });
}

unsigned int GetChannelClientList(SimulatedClient& client, uint64 handler, uint64 channel, anyID** result) {
    return WithChannel(client, handler, channel, [&](ServerState& server, SimChannel&) {
        std::vector<anyID> ids;
        for (const SimClient& inside : server.Clients) {
            if (inside.Channel == channel) {
                ids.push_back(inside.Id);
            }
        }
        return GiveList(client, result, ids);
    });
}

unsigned int GetChannelOfClient(SimulatedClient& client, uint64 handler, anyID clientId, uint64* result) {
    return WithServer(client, handler, [&](ServerState& server) {
        const SimClient* found = server.FindClient(clientId);
        return found != nullptr ? GiveValue(result, found->Channel) : Code(Error::ClientInvalidId);
    });
}

// A path of names from the top of the tree, ending with an empty name.
unsigned int GetChannelIDFromChannelNames(SimulatedClient& client, uint64 handler, char** names,
                                          uint64* result) {
    if (names == nullptr) {
        return Code(Error::ParameterInvalid);
    }
    return WithServer(client, handler, [&](ServerState& server) {
        uint64 parent = 0;
        for (char** name = names; *name != nullptr && **name != '\0'; ++name) {
            const SimChannel* next = nullptr;
            for (const SimChannel& channel : server.Channels) {
                if (channel.Parent == parent && channel.Name() == *name) {
                    next = &channel;
                    break;
                }
            }
            if (next == nullptr) {
                return Code(Error::ChannelInvalidId);
            }
            parent = next->Id;
        }
        return GiveValue(result, parent);
    });
}

} // namespace

void InstallChannels(TS3Functions& table) {
    Install<&F::getChannelList, &GetChannelList>(table);
    Install<&F::getChannelVariableAsInt, &GetChannelVariableAsInt>(table);
    Install<&F::getChannelVariableAsUInt64, &GetChannelVariableAsUInt64>(table);
    Install<&F::getChannelVariableAsString, &GetChannelVariableAsString>(table);
    Install<&F::setChannelVariableAsInt, &SetChannelVariableAsInt>(table);
    Install<&F::setChannelVariableAsUInt64, &SetChannelVariableAsUInt64>(table);
    Install<&F::setChannelVariableAsString, &SetChannelVariableAsString>(table);
    Install<&F::flushChannelUpdates, &FlushChannelUpdates>(table);
    Install<&F::getParentChannelOfChannel, &GetParentChannelOfChannel>(table);
    Install<&F::getChannelClientList, &GetChannelClientList>(table);
    Install<&F::getChannelOfClient, &GetChannelOfClient>(table);
    Install<&F::getChannelIDFromChannelNames, &GetChannelIDFromChannelNames>(table);
}

} // namespace Tralvonic::Sim
