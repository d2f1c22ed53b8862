// The exports through which the host reports what happens on its servers and hands over
// its audio; each passes the event to TeamSpeakCallback.

#include "plugin/Exports.h"

#include "plugin/ExportGuard.h"
#include "plugin/TeamSpeakCallback.h"

using namespace Tralvonic;
using TeamSpeak::anyID;
using TeamSpeak::uint64;

void ts3plugin_onConnectStatusChangeEvent(uint64 serverConnectionHandlerID, int newStatus, unsigned int) {
    Guarded([&] { TeamSpeakCallback::OnConnectStatusChangeEvent(serverConnectionHandlerID, newStatus); });
}

void ts3plugin_onClientMoveEvent(uint64 serverConnectionHandlerID, anyID clientID, uint64 oldChannelID,
                                 uint64 newChannelID, int, const char*) {
    Guarded([&] {
        TeamSpeakCallback::OnClientMoveEvent(serverConnectionHandlerID, clientID, oldChannelID, newChannelID);
    });
}

void ts3plugin_onClientMoveMovedEvent(uint64 serverConnectionHandlerID, anyID clientID, uint64 oldChannelID,
                                      uint64 newChannelID, int, anyID, const char*, const char*,
                                      const char*) {
    Guarded([&] {
        TeamSpeakCallback::OnClientMoveEvent(serverConnectionHandlerID, clientID, oldChannelID, newChannelID);
    });
}

void ts3plugin_onClientSelfVariableUpdateEvent(uint64 serverConnectionHandlerID, int flag, const char*,
                                               const char* newValue) {
    Guarded([&] {
        TeamSpeakCallback::OnClientSelfVariableUpdateEvent(serverConnectionHandlerID, flag, newValue);
    });
}

void ts3plugin_onTalkStatusChangeEvent(uint64 serverConnectionHandlerID, int status, int isReceivedWhisper,
                                       anyID clientID) {
    Guarded([&] {
        TeamSpeakCallback::OnTalkStatusChangeEvent(serverConnectionHandlerID, status, isReceivedWhisper,
                                                   clientID);
    });
}

void ts3plugin_onPermissionOverviewEvent(uint64 serverConnectionHandlerID, uint64 clientDatabaseID,
                                         uint64 channelID, int overviewType, uint64 overviewID1,
                                         uint64 overviewID2, unsigned int permissionID, int permissionValue,
                                         int permissionNegated, int permissionSkip) {
    Guarded([&] {
        TeamSpeakCallback::OnPermissionOverviewEvent(serverConnectionHandlerID, clientDatabaseID, channelID,
                                                     overviewType, overviewID1, overviewID2, permissionID,
                                                     permissionValue, permissionNegated, permissionSkip);
    });
}

void ts3plugin_onPermissionOverviewFinishedEvent(uint64 serverConnectionHandlerID) {
    Guarded([&] { TeamSpeakCallback::OnPermissionOverviewFinishedEvent(serverConnectionHandlerID); });
}

int ts3plugin_onServerPermissionErrorEvent(uint64 serverConnectionHandlerID, const char* errorMessage,
                                           unsigned int error, const char* returnCode,
                                           unsigned int failedPermissionID) {
    // Whatever a subscriber did, the host handles its error as usual.
    return Guarded(0, [&] {
        return TeamSpeakCallback::OnServerPermissionErrorEvent(serverConnectionHandlerID, errorMessage, error,
                                                               returnCode, failedPermissionID);
    });
}

void ts3plugin_onCustom3dRolloffCalculationClientEvent(uint64 serverConnectionHandlerID, anyID clientID,
                                                       float distance, float* volume) {
    Guarded([&] {
        TeamSpeakCallback::OnCustom3dRolloffCalculationClientEvent(serverConnectionHandlerID, clientID,
                                                                   distance, volume);
    });
}

void ts3plugin_onEditPlaybackVoiceDataEvent(uint64 serverConnectionHandlerID, anyID clientID, short* samples,
                                            int sampleCount, int channels) {
    Guarded([&] {
        TeamSpeakCallback::OnEditPlaybackVoiceDataEvent(serverConnectionHandlerID, clientID, samples,
                                                        sampleCount, channels);
    });
}

void ts3plugin_onEditPostProcessVoiceDataEvent(uint64 serverConnectionHandlerID, anyID clientID,
                                               short* samples, int sampleCount, int channels,
                                               const unsigned int* channelSpeakerArray,
                                               unsigned int* channelFillMask) {
    Guarded([&] {
        TeamSpeakCallback::OnEditPostProcessVoiceDataEvent(serverConnectionHandlerID, clientID, samples,
                                                           sampleCount, channels, channelSpeakerArray,
                                                           channelFillMask);
    });
}

void ts3plugin_onEditMixedPlaybackVoiceDataEvent(uint64 serverConnectionHandlerID, short* samples,
                                                 int sampleCount, int channels,
                                                 const unsigned int* channelSpeakerArray,
                                                 unsigned int* channelFillMask) {
    Guarded([&] {
        TeamSpeakCallback::OnEditMixedPlaybackVoiceDataEvent(serverConnectionHandlerID, samples, sampleCount,
                                                             channels, channelSpeakerArray, channelFillMask);
    });
}

void ts3plugin_onEditCapturedVoiceDataEvent(uint64 serverConnectionHandlerID, short* samples, int sampleCount,
                                            int channels, int* edited) {
    Guarded([&] {
        TeamSpeakCallback::OnEditCapturedVoiceDataEvent(serverConnectionHandlerID, samples, sampleCount,
                                                        channels, edited);
    });
}
