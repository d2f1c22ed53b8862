#include "DemoSession.h"

#include "GameLinkSettings.h"
#include "PluginReports.h"
#include "SceneScript.h"
#include "Stage.h"

#include "SimulatedClient.h"

#include <cstdio>
#include <exception>
#include <optional>

namespace Tralvonic::Sim::Host::Demo {

namespace {

using namespace std::chrono_literals;

constexpr auto ConnectTimeout = 3s;
constexpr std::uint64_t WebSocketStartChannel = 3;

void Say(const std::string& line) {
    std::printf("[demo] %s\n", line.c_str());
}

// The plugin starts its game link during its start and says in its log whether it could; a
// session that connected anyway would reach whatever else holds the address.
std::optional<std::string> GameLinkFailure(const SimulatedClient& client) {
    std::string last = "nothing about its game link";
    for (const LogEntry& entry : client.LogEntries()) {
        if (entry.LogId == WebSocketStartChannel) {
            if (entry.Message == "WebSocket started") {
                return std::nullopt;
            }
            last = entry.Message;
        }
    }
    return last;
}

} // namespace

DemoSession::DemoSession(SimulatedClient& client, SimServer& server, std::filesystem::path settingsFile,
                         int speed, GameView& view, std::function<void(bool)> ended)
    : _client(client), _server(server), _settingsFile(std::move(settingsFile)), _speed(speed), _view(view),
      _ended(std::move(ended)), _messages(SceneServer), _link([this](std::string text) { Receive(text); }),
      _pings([this](std::string pong) { _link.Send(std::move(pong)); }, _messages.Pong()),
      _thread([this] { Run(); }) {}

DemoSession::~DemoSession() {
    _inbox.Stop();
    _thread.join();
    _link.Close();
}

void DemoSession::Run() {
    bool played = false;
    try {
        played = Play();
    } catch (const std::exception& failure) {
        Say(std::string("the game session failed: ") + failure.what());
    } catch (...) {
        Say("the game session failed");
    }
    _link.Close();
    if (_inbox.IsStopped()) {
        return;
    }
    _failed = !played;
    try {
        _ended(played);
    } catch (...) {
        Say("ending the game session failed");
    }
}

bool DemoSession::Play() {
    Say("the built-in game session starts (speed " + std::to_string(_speed) + ")");
    if (const auto failure = GameLinkFailure(_client)) {
        Say("the plugin's game link is not running (its log says: " + *failure +
            "); is its address taken by another program? The demo ends");
        return false;
    }
    GameLinkSettings settings;
    try {
        settings = ReadGameLinkSettings(_settingsFile);
    } catch (const std::invalid_argument& error) {
        Say(std::string(error.what()) + "; the demo ends");
        return false;
    }
    const std::string address = "ws://" + settings.Address;
    if (const auto failure = _link.Open(settings.Host, settings.Port, ConnectTimeout)) {
        Say("cannot reach the plugin's game link at " + address + " (" + *failure +
            "); is the address taken by another program? The demo ends");
        return false;
    }
    Say("connected to the plugin's game link at " + address + ", as a game script would");

    Stage stage({_client, _server, _link, _inbox, _pings, _view, _messages, _speed});
    if (!PlaySteps(stage, SceneOpening())) {
        return false;
    }
    PlaySteps(stage, SceneBody());
    if (_inbox.IsStopped()) {
        return false;
    }
    const bool ended = PlaySteps(stage, SceneFinale(settings.InstanceTimeoutSeconds));
    Say("the demo is over (" + std::to_string(_pings.Answered()) + " pings answered)");
    return ended;
}

bool DemoSession::PlaySteps(Stage& stage, const std::vector<Step>& steps) {
    for (const Step& step : steps) {
        if (!stage.Pause(step.Before)) {
            return false;
        }
        stage.Begin(step.Story);
        const bool goOn = step.Act(stage);
        stage.Publish();
        if (!goOn || stage.IsStopping()) {
            return false;
        }
    }
    return true;
}

void DemoSession::Receive(const std::string& text) {
    auto report = ReadReport(text);
    if (!report) {
        Say("received a message that is not a JSON object: " + text.substr(0, 200));
        return;
    }
    if (_pings.Handle(*report)) {
        return;
    }
    // The answers to the scene's own pings would only fill the story.
    if (report->Command != static_cast<int>(Command::Pong)) {
        Say("received " + report->Description);
    }
    _inbox.Add(std::move(*report));
}

} // namespace Tralvonic::Sim::Host::Demo
