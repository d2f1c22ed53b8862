#pragma once
// The built-in session's scene as data: the steps in order, each with the scene time before it,
// the line that tells it, and what it does. Played against the default world of tralvonic-host
// (Lobby with the user "Player" and Alice, Ingame with Bob and Carl, the Support tree), it shows
// every feature of the plugin: the instance, players walking in and out of earshot, a client
// joining, talk states, a radio net with a tower, a phone call, megaphones, sounds, the sound
// devices' state, a swiss channel, and the end of the instance.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace Tralvonic::Sim::Host::Demo {

class Stage;

struct Step {
    std::chrono::milliseconds Before{0}; // scene time between the previous step and this one
    std::string Story;
    std::function<bool(Stage&)> Act; // false ends the scene early (the finale still runs)
};

// The server of tralvonic-host's default world and the user's in-game name.
inline constexpr const char* SceneServer = "tralvonic-sim-server-uid=";
inline constexpr const char* SceneHero = "Hero";

// Starts the instance; false when the plugin does not bring the user into the game.
std::vector<Step> SceneOpening();
// The scene proper, once the user is in the game.
std::vector<Step> SceneBody();
// Ends the game cleanly: everything stopped, the players gone, and the plugin ending the
// instance after `instanceTimeoutSeconds` without an answered ping.
std::vector<Step> SceneFinale(int instanceTimeoutSeconds);

} // namespace Tralvonic::Sim::Host::Demo
