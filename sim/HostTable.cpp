#include "HostTable.h"

#include "HostSlots.h"

namespace Tralvonic::Sim {

TeamSpeak::TS3Functions BuildHostTable() {
    TeamSpeak::TS3Functions table{};
    InstallUnsupported(table);
    InstallLogAndMemory(table);
    InstallConnection(table);
    InstallChannels(table);
    InstallClients(table);
    InstallRequests(table);
    InstallSound(table);
    InstallChat(table);
    return table;
}

} // namespace Tralvonic::Sim
