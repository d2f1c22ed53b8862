#include "Window/TroubleWindow.h"

#include "TeamSpeak/Channel.h"
#include "TeamSpeak/Client.h"
#include "TeamSpeak/Permissions.h"
#include "TeamSpeak/Server.h"
#include "core/Base.h"
#include "instance/GameInstance.h"
#include "link/WebSocket.h"

#include <utility>

namespace Tralvonic {

namespace {

void Raise(std::atomic<std::int32_t>& stored, std::int32_t value) {
    std::int32_t current = stored.load();
    while (value > current && !stored.compare_exchange_weak(current, value)) {
    }
}

std::string PowerText(std::int32_t power) {
    return power == -1 ? "0 (not set)" : std::to_string(power);
}

} // namespace

std::shared_ptr<TroubleWindow> TroubleWindow::Create(PermissionEvents events, ToWindowThread toWindowThread,
                                                     TroubleOutput output) {
    return std::shared_ptr<TroubleWindow>(
        new TroubleWindow(events, std::move(toWindowThread), std::move(output)));
}

TroubleWindow::TroubleWindow(PermissionEvents events, ToWindowThread toWindowThread, TroubleOutput output)
    : _events(events), _toWindowThread(std::move(toWindowThread)), _output(std::move(output)) {}

TroubleWindow::~TroubleWindow() {
    Unsubscribe();
}

void TroubleWindow::OnStartClicked() {
    _output.SetStartEnabled(false);
    RunChecks();
    if (!_waiting) {
        _output.SetStartEnabled(true);
    }
}

void TroubleWindow::AddLine(const std::string& line) const {
    _output.AddLine(line);
}

void TroubleWindow::Clear() {
    _output.ClearLog();
    _powers->WhisperPower.store(-1);
    _powers->NeededWhisperPower.store(-1);
}

void TroubleWindow::RunChecks() {
    Clear();
    if (!Base::CurrentConfiguration()) {
        AddLine("No Configuration loaded");
        return;
    }
    AddLine("Configuration is loaded");

    const auto webSocket = Base::WebSocket();
    if (!webSocket || !webSocket->IsStarted()) {
        AddLine("WebSocket is not running");
        return;
    }
    AddLine("WebSocket is running at " + webSocket->Address().value_or("") + " with " +
            std::to_string(webSocket->OpenConnections()) + " open connection(s)");

    const TeamSpeak::Server server = TeamSpeak::Server::CurrentServer();
    if (server.IsZero() || server.ConnectionStatus() != TeamSpeak::STATUS_CONNECTION_ESTABLISHED) {
        AddLine("Your current TeamSpeak tab is not connected to any server");
        return;
    }
    const std::string uniqueIdentifier = server.UniqueIdentifier();
    AddLine("Connected to " + server.Name() + " (UID: " + uniqueIdentifier + ")");

    std::shared_ptr<GameInstance> instance;
    if (!Base::TryGetGameInstance(uniqueIdentifier, instance)) {
        AddLine("There is no active instace for this server.");
        return;
    }
    AddLine("Found instance for current server, received player states: " +
            std::to_string(instance->PlayerStateCount()));

    const TeamSpeak::Client self = server.LocalClient();
    const TeamSpeak::Channel current = self.Channel();
    const std::optional<TeamSpeak::Channel> ingame = instance->Channel();
    if (ingame && current.Equals(*ingame)) {
        AddLine("You are currently in the ingame channel");
    } else if (instance->IsSwissChannel(current)) {
        AddLine("You are currently in a swiss channel, this is a neutral channel where we will not get moved "
                "into the ingame channel (commonly used for support purposes)");
        return;
    } else {
        AddLine("You are not in a swiss or ingame channel");
        return;
    }

    if (ingame->IsForceSilenced()) {
        AddLine(
            "Ingame channel is currently force silenced. Please check channel talk power or \"Min clients in "
            "channel before silence\" under the \"Misc\" tab while editing the virtual server.");
    }

    _powers->WhisperPowerId.store(TeamSpeak::Permissions::IdByName(server, WhisperPowerPermission));
    _powers->NeededWhisperPowerId.store(
        TeamSpeak::Permissions::IdByName(server, NeededWhisperPowerPermission));
    Subscribe();
    AddLine("Getting whisper permissions...");
    _waiting = true;
    TeamSpeak::Permissions::RequestOverview(server, self.DatabaseId(), ingame->Id(), ReturnCode);
}

void TroubleWindow::Subscribe() {
    Unsubscribe();
    _overviewSubscription =
        _events.Overview.Subscribe([powers = _powers](const PermissionOverviewEventArgs& entry) {
            if (entry.PermissionId == powers->WhisperPowerId.load()) {
                Raise(powers->WhisperPower, entry.PermissionValue);
            }
            if (entry.PermissionId == powers->NeededWhisperPowerId.load()) {
                Raise(powers->NeededWhisperPower, entry.PermissionValue);
            }
        });
    const std::weak_ptr<TroubleWindow> window = weak_from_this();
    _finishedSubscription = _events.OverviewFinished.Subscribe([window, toWindowThread = _toWindowThread] {
        toWindowThread([window] {
            if (const auto self = window.lock()) {
                self->OnOverviewFinished();
            }
        });
    });
    _errorSubscription = _events.Error.Subscribe(
        [window, toWindowThread = _toWindowThread](const PermissionErrorEventArgs& error) {
            // Refusals of other requests are none of this window's business.
            if (error.ReturnCode != ReturnCode) {
                return;
            }
            toWindowThread([window, error] {
                if (const auto self = window.lock()) {
                    self->OnPermissionError(error);
                }
            });
        });
}

void TroubleWindow::Unsubscribe() {
    if (_overviewSubscription != 0) {
        _events.Overview.Unsubscribe(std::exchange(_overviewSubscription, 0));
    }
    if (_finishedSubscription != 0) {
        _events.OverviewFinished.Unsubscribe(std::exchange(_finishedSubscription, 0));
    }
    if (_errorSubscription != 0) {
        _events.Error.Unsubscribe(std::exchange(_errorSubscription, 0));
    }
}

void TroubleWindow::OnOverviewFinished() {
    if (!_waiting) {
        return;
    }
    Unsubscribe();
    _waiting = false;
    AddLine("Your client whisper power (i_client_whisper_power): " + PowerText(_powers->WhisperPower.load()));
    AddLine("Your needed client whisper power (i_client_needed_whisper_power): " +
            PowerText(_powers->NeededWhisperPower.load()));
    AddLine(
        "Note that the client whisper power (i_client_whisper_power) of each player must be higher or equal "
        "to the needed client whisper power (i_client_needed_whisper_power) of all players");
    _output.SetStartEnabled(true);
}

void TroubleWindow::OnPermissionError(const PermissionErrorEventArgs& error) {
    if (!_waiting) {
        return;
    }
    Unsubscribe();
    _waiting = false;
    const std::optional<std::string> name = TeamSpeak::Permissions::NameById(
        TeamSpeak::Server(error.ServerConnectionHandlerId), error.FailedPermissionId);
    std::string line = "Error while getting your whisper permissions: " + error.ErrorMessage.value_or("");
    if (name) {
        line += " (" + *name + ")";
    }
    AddLine(line);
    _output.SetStartEnabled(true);
}

} // namespace Tralvonic
