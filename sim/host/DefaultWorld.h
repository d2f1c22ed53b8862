#pragma once
// The world tralvonic-host starts with: one server tab with a lobby, an in-game channel, a
// support channel tree and a few other clients, not yet connected.

#include "SimServer.h"
#include "SimulatedClient.h"

namespace Tralvonic::Sim::Host {

SimServer& BuildDefaultWorld(SimulatedClient& client);

} // namespace Tralvonic::Sim::Host
