#pragma once
// Prints what the plugin does to the host as it happens: its log lines and the calls that
// change something (renames, moves, 3D positions, whisper lists, sounds, chat).

#include "SimulatedClient.h"

namespace Tralvonic::Sim::Host {

void PrintLiveLog(SimulatedClient& client);

} // namespace Tralvonic::Sim::Host
