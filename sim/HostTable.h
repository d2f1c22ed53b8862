#pragma once
// Assembles the host function table: every slot first gets the NotImplemented entry, then
// each concern installs the functions it simulates.

#include "TeamSpeak/sdk/HostFunctions.h"

namespace Tralvonic::Sim {

TeamSpeak::TS3Functions BuildHostTable();

// One per source file of simulated host functions.
void InstallLogAndMemory(TeamSpeak::TS3Functions& table);

} // namespace Tralvonic::Sim
