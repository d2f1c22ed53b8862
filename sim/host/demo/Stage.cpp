#include "Stage.h"

#include "GameConnection.h"
#include "Inbox.h"
#include "PingAnswer.h"
#include "PluginReports.h"
#include "SceneView.h"

#include "GameView.h"
#include "SimServer.h"
#include "SimulatedClient.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <cstdio>

namespace Tralvonic::Sim::Host::Demo {

void Stage::Send(std::string message) {
    _parts.Link.Send(std::move(message));
}

void Stage::SendBulkUpdate() {
    Send(Messages().BulkUpdate(_scene.Self, _scene.Players));
}

void Stage::FallSilent() {
    _parts.Pings.FallSilent();
}

int Stage::PingsAnswered() const {
    return _parts.Pings.Answered();
}

void Stage::Begin(const std::string& story) {
    _stepMark = _parts.Reports.Mark();
    _scene.Step = story;
    Say(story);
}

void Stage::Say(const std::string& line) const {
    std::printf("[demo] %s\n", line.c_str());
}

void Stage::Publish() {
    _parts.View.Publish(SceneViewJson(_scene));
}

bool Stage::Pause(std::chrono::milliseconds duration) {
    return _parts.Reports.Pause(duration / _parts.Speed);
}

bool Stage::Expect(const std::function<bool(const PluginReport&)>& accept, std::chrono::milliseconds timeout,
                   const std::string& missing) {
    if (_parts.Reports.WaitFor(_stepMark, accept, timeout)) {
        return true;
    }
    if (!IsStopping()) {
        Say(missing);
    }
    return false;
}

bool Stage::Sync() {
    const auto mark = _parts.Reports.Mark();
    Send(Messages().Ping());
    const bool answered = _parts.Reports.WaitFor(
        mark, [](const PluginReport& report) { return report.Command == static_cast<int>(Command::Pong); },
        std::chrono::seconds(3));
    if (!answered && !IsStopping()) {
        Say("the plugin did not answer the game's ping");
    }
    return answered;
}

bool Stage::IsStopping() const {
    return _parts.Reports.IsStopped();
}

std::optional<TeamSpeak::anyID> Stage::ClientNamed(const std::string& nickname) {
    const auto client = _parts.Server.FindClient(nickname);
    if (!client) {
        Say("the simulated server has no client named " + nickname);
    }
    return client;
}

void Stage::Talk(TeamSpeak::anyID client, bool talking) {
    _parts.Server.SetTalking(client, talking ? TeamSpeak::STATUS_TALKING : TeamSpeak::STATUS_NOT_TALKING);
}

bool Stage::WaitForHost(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    return _parts.Client.WaitFor(predicate, timeout);
}

} // namespace Tralvonic::Sim::Host::Demo
