#pragma once
// tralvonic-host's built-in game session (--demo): a game script inside the host that connects
// to the plugin's game link as a game on this machine would, plays the scene of SceneScript
// step by step, answers the plugin's pings, tells what it does and what the plugin reports in
// "[demo] …" lines, and publishes the game's side of the scene to the game view.
// It runs on a thread of its own from construction; the destructor stops and joins it (and the
// connection's thread), so it must go before the plugin shuts down.

#include "GameConnection.h"
#include "GameMessages.h"
#include "Inbox.h"
#include "PingAnswer.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

namespace Tralvonic::Sim {
class SimServer;
class SimulatedClient;
} // namespace Tralvonic::Sim

namespace Tralvonic::Sim::Host {
class GameView;
}

namespace Tralvonic::Sim::Host::Demo {

class Stage;
struct Step;

class DemoSession {
public:
    // `settingsFile` is the plugin's Tralvonic/settings.json, read for the game link's address
    // and timeout; `speed` divides the scene's pauses. `ended` is called on the session's thread
    // when the scene ended by itself, with true when it was played to its end.
    DemoSession(SimulatedClient& client, SimServer& server, std::filesystem::path settingsFile, int speed,
                GameView& view, std::function<void(bool played)> ended);
    ~DemoSession();
    DemoSession(const DemoSession&) = delete;
    DemoSession& operator=(const DemoSession&) = delete;

    // True when the scene ended by itself without being played to its end (no game link, no
    // instance); false while it runs, after it was played, and when it was stopped.
    bool Failed() const { return _failed; }

private:
    void Run();
    bool Play();
    // Plays the steps in order; false when one of them ends the scene or the session stops.
    static bool PlaySteps(Stage& stage, const std::vector<Step>& steps);
    void Receive(const std::string& text);

    SimulatedClient& _client;
    SimServer& _server;
    const std::filesystem::path _settingsFile;
    const int _speed;
    GameView& _view;
    std::function<void(bool)> _ended;
    std::atomic<bool> _failed{false};

    Inbox _inbox;
    GameMessages _messages;
    GameConnection _link;
    PingAnswer _pings;
    std::thread _thread; // owned; joined in the destructor
};

} // namespace Tralvonic::Sim::Host::Demo
