#pragma once
// What a step of the built-in session's scene can do: change the game's scene and tell the
// plugin as a game would, act as the host's other side (make simulated clients talk, move,
// mute), wait for what the plugin reports, pause, and tell the story. Used on the scene thread.

#include "GameMessages.h"
#include "SceneState.h"

#include "TeamSpeak/sdk/HostTypes.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace Tralvonic::Sim {
class SimServer;
class SimulatedClient;
} // namespace Tralvonic::Sim

namespace Tralvonic::Sim::Host {
class GameView;
}

namespace Tralvonic::Sim::Host::Demo {

class GameConnection;
class Inbox;
class PingAnswer;
struct PluginReport;

struct StageParts {
    SimulatedClient& Client;
    SimServer& Server;
    GameConnection& Link;
    Inbox& Reports;
    PingAnswer& Pings;
    GameView& View;
    const GameMessages& Messages;
    int Speed = 1;
};

class Stage {
public:
    explicit Stage(StageParts parts) : _parts(parts) {}

    // --- the game's side ---
    SceneState& Scene() { return _scene; }
    const GameMessages& Messages() const { return _parts.Messages; }
    void Send(std::string message);
    // One BulkUpdate of the scene's own state and every player.
    void SendBulkUpdate();
    void FallSilent();
    int PingsAnswered() const;

    // --- the story ---
    // Starts a step: names it in the scene and tells it ("[demo] " + story).
    void Begin(const std::string& story);
    void Say(const std::string& line) const;
    // Publishes the scene to the game view.
    void Publish();

    // --- time and the plugin's answers ---
    // Pauses for the scene's `duration` divided by the speed; false when the session stops.
    bool Pause(std::chrono::milliseconds duration);
    // True once the plugin reported, since the step began, what `accept` takes; waits at most
    // `timeout` (not divided by the speed). Says `missing` when it does not come.
    bool Expect(const std::function<bool(const PluginReport&)>& accept, std::chrono::milliseconds timeout,
                const std::string& missing);
    // Pings the plugin and waits for its pong: the plugin handles a connection's messages in
    // order, so everything sent before has been handled then.
    bool Sync();
    bool IsStopping() const;

    // --- the host's other side ---
    SimServer& Server() { return _parts.Server; }
    SimulatedClient& Client() { return _parts.Client; }
    // The client of that nickname on the server; absent (and said) when there is none.
    std::optional<TeamSpeak::anyID> ClientNamed(const std::string& nickname);
    void Talk(TeamSpeak::anyID client, bool talking);
    // True once `predicate` holds on the host's side, within `timeout`.
    bool WaitForHost(const std::function<bool()>& predicate, std::chrono::milliseconds timeout);

private:
    StageParts _parts;
    SceneState _scene;
    std::uint64_t _stepMark = 0;
};

} // namespace Tralvonic::Sim::Host::Demo
