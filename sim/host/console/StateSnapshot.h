#pragma once
// The scene as the console page draws it, as one JSON object: the server tab (connection,
// channels), every client in view (name, channel, talking, mute states, the 3D position the
// plugin set), the listener, the user's whisper list, what the console heard on the game link
// and the game view of a built-in game session. The world is copied under its own lock,
// the game view and the link records under theirs; no lock is held across a plugin call.
//
//   {"Server":{"Name","UniqueIdentifier","Status","IsConnected"},
//    "Channels":[{"Id","Parent","Name"}],
//    "Clients":[{"Id","Name","Channel","IsUser","IsTalking","IsLocallyMuted",
//                "IsMicrophoneMuted","IsSoundMuted","Position":{"X","Y","Z"}|null}],
//    "Listener":{"Position","Forward","Up"}|null,   (null until the plugin set one)
//    "Whisper":{"Clients":[ids]|null,"Channels":[ids]|null}|null,
//    "GameLink":{"Address","IsConnected","ActiveInstances","Instances":[...],"Records":[...]},
//    "Game":{...}|null}

#include "World.h"

#include <string>

namespace Tralvonic::Sim {
class SimulatedClient;
} // namespace Tralvonic::Sim

namespace Tralvonic::Sim::Host {

class GameLinkRecords;
class GameView;

// `gameView` may be null (no game session runs).
std::string StateJson(SimulatedClient& client, uint64 handler, const GameView* gameView,
                      const GameLinkRecords& records);

} // namespace Tralvonic::Sim::Host
