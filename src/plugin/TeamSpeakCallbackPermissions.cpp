#include "plugin/TeamSpeakCallback.h"

#include "TeamSpeak/Permissions.h"
#include "TeamSpeak/Server.h"
#include "core/Base.h"
#include "core/Logger.h"

#include <string>

namespace Tralvonic {

namespace {

// The two permissions that decide whether whispering reaches the other players.
constexpr std::string_view WhisperPower = "i_client_whisper_power";
constexpr std::string_view NeededWhisperPower = "i_client_needed_whisper_power";

} // namespace

void TeamSpeakCallback::OnPermissionOverviewEvent(uint64 serverConnectionHandlerId, uint64 clientDatabaseId,
                                                  uint64 channelId, int overviewType, uint64 overviewId1,
                                                  uint64 overviewId2, unsigned int permissionId,
                                                  int permissionValue, int permissionNegated,
                                                  int permissionSkip) {
    PermissionOverview.Raise(PermissionOverviewEventArgs{permissionId, permissionValue});
    // Two host calls per entry: only worth it when someone reads the line.
    if (Base::CurrentLogLevel() != LogLevel::ExtensiveDebug) {
        return;
    }
    const TeamSpeak::Server server(serverConnectionHandlerId);
    const std::uint32_t whisperPower = TeamSpeak::Permissions::IdByName(server, WhisperPower);
    const std::uint32_t neededWhisperPower = TeamSpeak::Permissions::IdByName(server, NeededWhisperPower);
    if (permissionId != whisperPower && permissionId != neededWhisperPower) {
        return;
    }
    Logger::LogExtensiveDebug(
        "OnPermissionOverviewEvent | serverConnectionHandlerId " + std::to_string(serverConnectionHandlerId) +
            " / clientDatabaseId " + std::to_string(clientDatabaseId) + " / channelId " +
            std::to_string(channelId) + " / overviewType " + std::to_string(overviewType) +
            " / overviewId1 " + std::to_string(overviewId1) + " / overviewId2 " +
            std::to_string(overviewId2) + " / permissionId " + std::to_string(permissionId) +
            " / permissionValue " + std::to_string(permissionValue) + " / permissionNegated " +
            std::to_string(permissionNegated) + " / permissionSkip " + std::to_string(permissionSkip),
        LogChannel::Wrapper);
}

void TeamSpeakCallback::OnPermissionOverviewFinishedEvent(uint64) {
    PermissionOverviewFinished.Raise();
    Logger::LogExtensiveDebug("OnPermissionOverviewFinishedEvent", LogChannel::Wrapper);
}

int TeamSpeakCallback::OnServerPermissionErrorEvent(uint64 serverConnectionHandlerId,
                                                    const char* errorMessage, unsigned int error,
                                                    const char* returnCode, unsigned int failedPermissionId) {
    PermissionError.Raise(PermissionErrorEventArgs{serverConnectionHandlerId, OptionalText(errorMessage),
                                                   static_cast<TeamSpeak::Error>(error),
                                                   OptionalText(returnCode), failedPermissionId});
    return 0;
}

} // namespace Tralvonic
