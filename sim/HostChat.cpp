// The chat tab (link conversion and printing) and permissions: ids by name, names by id,
// and the scripted answer to a permission overview request.

#include "HostEntry.h"
#include "HostTable.h"
#include "WorldAccess.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace Tralvonic::Sim {

using namespace TeamSpeak;
using F = TS3Functions;

namespace {

bool StartsLink(std::string_view text) {
    return text.starts_with("http://") || text.starts_with("https://") || text.starts_with("www.");
}

// Every link (up to the next white space) becomes [URL]link[/URL]. The result is cut to the
// buffer and always terminated.
void UrlsToBB(SimulatedClient&, const char* text, char* result, std::size_t maxLength) {
    if (result == nullptr || maxLength == 0) {
        return;
    }
    std::string converted;
    const std::string_view input = text != nullptr ? text : "";
    for (std::size_t i = 0; i < input.size();) {
        const bool wordStart = i == 0 || std::isspace(static_cast<unsigned char>(input[i - 1]));
        if (wordStart && StartsLink(input.substr(i))) {
            std::size_t end = i;
            while (end < input.size() && !std::isspace(static_cast<unsigned char>(input[end]))) {
                ++end;
            }
            converted += "[URL]" + std::string(input.substr(i, end - i)) + "[/URL]";
            i = end;
        } else {
            converted += input[i++];
        }
    }
    const std::size_t length = std::min(converted.size(), maxLength - 1);
    std::memcpy(result, converted.data(), length);
    result[length] = '\0';
}

void PrintMessageToCurrentTab(SimulatedClient& client, const char* message) {
    {
        World& world = client.GetWorld();
        std::lock_guard lock(world.Mutex);
        world.ChatMessages.emplace_back(message != nullptr ? message : "");
    }
    client.NotifyChanged();
}

unsigned int GetPermissionIDByName(SimulatedClient& client, uint64 handler, const char* name,
                                   unsigned int* result) {
    return WithServer(client, handler, [&](ServerState&) {
        const auto& ids = client.GetWorld().PermissionIds;
        auto found = name != nullptr ? ids.find(std::string_view(name)) : ids.end();
        return found != ids.end() ? GiveValue(result, found->second) : Code(Error::PermissionInvalidPermId);
    });
}

unsigned int GetPermissionNameByID(SimulatedClient& client, uint64 handler, unsigned int id, char* result,
                                   std::size_t maxLength) {
    return WithServer(client, handler, [&](ServerState&) {
        for (const auto& [name, permissionId] : client.GetWorld().PermissionIds) {
            if (permissionId != id) {
                continue;
            }
            if (result == nullptr || name.size() >= maxLength) {
                return Code(Error::ParameterInvalidSize);
            }
            std::memcpy(result, name.c_str(), name.size() + 1);
            return Ok;
        }
        return Code(Error::PermissionInvalidPermId);
    });
}

// Answered on the event thread from the scripted answer: its entries, then the finished
// event; or a permission error.
unsigned int RequestPermissionOverview(SimulatedClient& client, uint64 handler, uint64 clientDatabaseId,
                                       uint64 channel, const char* returnCode) {
    PermissionOverviewAnswer answer;
    const unsigned int code = WithServer(client, handler, [&](ServerState&) {
        answer = client.GetWorld().OverviewAnswer;
        return Ok;
    });
    if (code != Ok) {
        return code;
    }
    const std::string returned = returnCode != nullptr ? returnCode : "";
    client.Raise([=](const PluginExports& plugin) {
        if (answer.Error) {
            if (plugin.onServerPermissionErrorEvent) {
                plugin.onServerPermissionErrorEvent(handler, "insufficient client permissions", *answer.Error,
                                                    returned.c_str(), answer.FailedPermissionId);
            }
            return;
        }
        for (const PermissionOverviewEntry& entry : answer.Entries) {
            if (plugin.onPermissionOverviewEvent) {
                plugin.onPermissionOverviewEvent(handler, clientDatabaseId, channel, entry.OverviewType,
                                                 entry.OverviewId1, entry.OverviewId2, entry.PermissionId,
                                                 entry.PermissionValue, entry.PermissionNegated,
                                                 entry.PermissionSkip);
            }
        }
        if (plugin.onPermissionOverviewFinishedEvent) {
            plugin.onPermissionOverviewFinishedEvent(handler);
        }
    });
    return Ok;
}

} // namespace

void InstallChat(TS3Functions& table) {
    Install<&F::urlsToBB, &UrlsToBB>(table);
    Install<&F::printMessageToCurrentTab, &PrintMessageToCurrentTab>(table);
    Install<&F::getPermissionIDByName, &GetPermissionIDByName>(table);
    Install<&F::getPermissionNameByID, &GetPermissionNameByID>(table);
    Install<&F::requestPermissionOverview, &RequestPermissionOverview>(table);
}

} // namespace Tralvonic::Sim
