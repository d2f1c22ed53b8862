#include "link/MessageDispatch.h"

#include "Model/BulkUpdate.h"
#include "Model/GameInstanceSettings.h"
#include "Model/MegaphoneCommunication.h"
#include "Model/PhoneCommunication.h"
#include "Model/PluginCommand.h"
#include "Model/PluginError.h"
#include "Model/RadioChannelMember.h"
#include "Model/RadioChannelMemberUpdate.h"
#include "Model/RadioCommunication.h"
#include "Model/RadioTower.h"
#include "Model/Sound.h"
#include "core/Base.h"
#include "core/LastResort.h"
#include "core/Logger.h"
#include "instance/GameInstance.h"
#include "link/Messages.h"

#include <algorithm>
#include <chrono>
#include <iterator>
#include <string_view>
#include <utility>

namespace Tralvonic {

namespace {

using Model::Command;
using Model::PluginCommand;

constexpr LogChannel Channel = LogChannel::WebSocketOnMessage;

// Applies one command's parameter to the instance it was routed to.
using Operation = void (*)(GameInstance& gameInstance, const PluginCommand& command);

template <auto InstanceOperation>
void ApplyWithoutParameter(GameInstance& gameInstance, const PluginCommand&) {
    (gameInstance.*InstanceOperation)();
}

template <class Record, auto InstanceOperation>
void Apply(GameInstance& gameInstance, const PluginCommand& command) {
    (gameInstance.*InstanceOperation)(command.ConvertParameter<Record>());
}

// All player states and then the own state in one pass, so one update ends in one recalculation.
template <auto OnBulkUpdate> void ApplyBulkUpdate(GameInstance& gameInstance, const PluginCommand& command) {
    const auto bulkUpdate = command.ConvertParameter<Model::BulkUpdate>();
    if (Logger::IsWritten(LogLevel::Extensive)) {
        Logger::LogExtensive("Received Bulk Update with " + std::to_string(bulkUpdate.PlayerStates.size()) +
                                 " player states",
                             Channel);
    }
    (gameInstance.*OnBulkUpdate)(bulkUpdate);
}

// What one routed command does to the instance; the row is empty while the instance lacks the
// operation: such a command still needs a registered instance, and is then reported as not
// executable instead of being taken as handled.
template <Operation InstanceOperation> struct Via { static constexpr Operation Apply = InstanceOperation; };

// One row per command that the game sends to a running instance, each with its record and
// operation. Declared only: a routed command of the command list without a row fails to compile.
template <Command> struct Row;
// clang-format off
template <> struct Row<Command::Ping> : Via<&ApplyWithoutParameter<&GameInstance::OnPing>> {};
template <> struct Row<Command::Pong> : Via<&ApplyWithoutParameter<&GameInstance::OnPong>> {};
template <> struct Row<Command::SelfStateUpdate> : Via<&Apply<Model::SelfState, &GameInstance::OnSelfStateUpdate>> {};
template <> struct Row<Command::PlayerStateUpdate> : Via<&Apply<Model::PlayerState, &GameInstance::OnPlayerStateUpdate>> {};
template <> struct Row<Command::BulkUpdate> : Via<&ApplyBulkUpdate<&GameInstance::OnBulkUpdate>> {};
template <> struct Row<Command::RemovePlayer> : Via<&Apply<Model::PlayerState, &GameInstance::OnPlayerRemove>> {};
template <> struct Row<Command::PlaySound> : Via<&Apply<Model::Sound, &GameInstance::PlaySound>> {};
template <> struct Row<Command::StopSound> : Via<&Apply<Model::Sound, &GameInstance::StopSound>> {};
template <> struct Row<Command::PhoneCommunicationUpdate> : Via<&Apply<Model::PhoneCommunication, &GameInstance::OnPhoneCommunicationUpdate>> {};
template <> struct Row<Command::StopPhoneCommunication> : Via<&Apply<Model::PhoneCommunication, &GameInstance::OnStopPhoneCommunication>> {};
template <> struct Row<Command::RadioCommunicationUpdate> : Via<&Apply<Model::RadioCommunication, &GameInstance::OnRadioCommunicationUpdate>> {};
template <> struct Row<Command::StopRadioCommunication> : Via<&Apply<Model::RadioCommunication, &GameInstance::OnStopRadioCommunication>> {};
template <> struct Row<Command::RadioTowerUpdate> : Via<&Apply<Model::RadioTower, &GameInstance::OnRadioTowerUpdate>> {};
template <> struct Row<Command::AddRadioChannelMember> : Via<&Apply<Model::RadioChannelMember, &GameInstance::OnAddRadioChannelMember>> {};
template <> struct Row<Command::UpdateRadioChannelMembers> : Via<&Apply<Model::RadioChannelMemberUpdate, &GameInstance::OnUpdateRadioChannelMembers>> {};
template <> struct Row<Command::RemoveRadioChannelMember> : Via<&Apply<Model::RadioChannelMember, &GameInstance::OnRemoveRadioChannelMember>> {};
template <> struct Row<Command::MegaphoneCommunicationUpdate> : Via<&Apply<Model::MegaphoneCommunication, &GameInstance::OnMegaphoneCommunicationUpdate>> {};
template <> struct Row<Command::StopMegaphoneCommunication> : Via<&Apply<Model::MegaphoneCommunication, &GameInstance::OnStopMegaphoneCommunication>> {};
// clang-format on

struct Route {
    Model::Command Command;
    Operation Apply;
};

// The routed commands of the command list, each with its row.
#define TRALVONIC_ROUTE_ToGame(name)
#define TRALVONIC_ROUTE_Initiate(name)
#define TRALVONIC_ROUTE_Routed(name) Route{Command::name, Row<Command::name>::Apply},
#define TRALVONIC_ROUTE(name, number, flow) TRALVONIC_ROUTE_##flow(name)
constexpr Route Routes[] = {TRALVONIC_COMMANDS(TRALVONIC_ROUTE)};
#undef TRALVONIC_ROUTE
#undef TRALVONIC_ROUTE_Routed
#undef TRALVONIC_ROUTE_Initiate
#undef TRALVONIC_ROUTE_ToGame

const Route* FindRoute(Command command) {
    const auto found = std::find_if(std::begin(Routes), std::end(Routes),
                                    [&](const Route& route) { return route.Command == command; });
    return found == std::end(Routes) ? nullptr : found;
}

void LogNonExecutable(const std::string& text) {
    Logger::LogError("Non-executable message: " + text, Channel);
}

void Initiate(const std::shared_ptr<Connection>& connection, const PluginCommand& command) {
    if (!command.Parameter) {
        SendRecord(connection, Model::PluginError(Model::Error::InvalidJson));
        return;
    }
    // The record names its own server; the envelope's identifier is not used.
    auto gameInstance =
        std::make_shared<GameInstance>(command.ConvertParameter<Model::GameInstanceSettings>());
    // Registration and the check for a running instance of that server are one step there.
    const Model::Error result = gameInstance->Initiate();
    if (result == Model::Error::InvalidValue) {
        // The one value of an Initiate that the registry refuses: the number of instances.
        SendRecord(connection,
                   Model::PluginError(result, std::nullopt, std::string(Base::TooManyGameInstancesMessage)));
    } else if (result != Model::Error::OK) {
        SendRecord(connection, Model::PluginError(result));
    }
}

enum class Outcome { Handled, DroppedSilently };

Outcome RouteCommand(const std::shared_ptr<Connection>& connection, const PluginCommand& command,
                     const std::string& text) {
    if (command.Command == Command::Initiate) {
        Initiate(connection, command);
        return Outcome::Handled;
    }
    const auto* route = FindRoute(command.Command);
    if (route == nullptr) {
        LogNonExecutable(text);
        return Outcome::Handled;
    }
    // The game learns of missing instances from PluginState and InstanceState, not from here.
    std::shared_ptr<GameInstance> gameInstance;
    if (!command.ServerUniqueIdentifier ||
        !Base::TryGetGameInstance(*command.ServerUniqueIdentifier, gameInstance)) {
        return Outcome::DroppedSilently;
    }
    if (route->Apply == nullptr) {
        LogNonExecutable(text);
        return Outcome::Handled;
    }
    route->Apply(*gameInstance, command);
    return Outcome::Handled;
}

void Dispatch(const std::shared_ptr<Connection>& connection, const std::string& text) {
    using Clock = std::chrono::steady_clock;
    // Stable users get the raw text; testers get the handling time instead.
    const bool isTimed = Base::CurrentConfiguration()->UpdateBranch != UpdateBranch::Stable;
    const auto started = Clock::now();
    if (!isTimed) {
        Logger::LogExtensive(text, Channel);
    }
    const auto command = PluginCommand::Read(text);
    if (!command) {
        Logger::LogError("Could not parse message: " + text, Channel);
        return;
    }
    if (RouteCommand(connection, *command, text) == Outcome::DroppedSilently) {
        return;
    }
    if (isTimed) {
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started);
        Logger::LogExtensive("Time taken: " + std::to_string(elapsed.count()) + "ms | Message: " + text,
                             Channel);
    }
}

} // namespace

void MessageDispatch::OnMessage(const std::shared_ptr<Connection>& connection, const std::string& text) {
    try {
        Dispatch(connection, text);
    } catch (...) {
        Logger::LogError({"Message: " + text, "Exception: " + DescribeCurrentException()}, Channel);
    }
}

} // namespace Tralvonic
