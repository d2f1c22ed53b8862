#pragma once
// Assembles the host function table: every slot first gets the NotImplemented entry, then
// each concern installs the functions it simulates.

#include "TeamSpeak/sdk/HostFunctions.h"

namespace Tralvonic::Sim {

TeamSpeak::TS3Functions BuildHostTable();

// One per source file of simulated host functions.
void InstallLogAndMemory(TeamSpeak::TS3Functions& table); // HostLog.cpp
void InstallConnection(TeamSpeak::TS3Functions& table);   // HostConnection.cpp
void InstallChannels(TeamSpeak::TS3Functions& table);     // HostChannels.cpp
void InstallClients(TeamSpeak::TS3Functions& table);      // HostClients.cpp
void InstallRequests(TeamSpeak::TS3Functions& table);     // HostRequests.cpp
void InstallSound(TeamSpeak::TS3Functions& table);        // HostSound.cpp
void InstallChat(TeamSpeak::TS3Functions& table);         // HostChat.cpp

} // namespace Tralvonic::Sim
