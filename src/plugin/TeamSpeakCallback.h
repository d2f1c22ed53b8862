#pragma once
// Receives what the host tells the plugin through its exports and passes it on: host events
// go to the game instance of the server they happened on, start and stop to the plugin core,
// and three permission events to whoever subscribed to them (the troubleshooting window).
// It answers the host's questions about menus and the info panel itself.
//
// Instances are found in the registry either by the server's unique identifier (one host
// call; for the ordinary events) or by the handler id (no host call; for the audio
// callbacks, which run for every block). An event for which no instance is found is
// dropped without a log line. The host calls all of this on its own threads, the audio
// callbacks concurrently with the rest; no lock is taken here beyond the registry's own.

#include "plugin/CallbackList.h"
#include "plugin/PermissionEventArgs.h"

#include "TeamSpeak/sdk/HostTypes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Tralvonic {

// Ids of the plugin's menu entries, as the host reports them back.
enum class MenuItem : std::int32_t { Settings = 1, Troubleshooting = 2 };

class TeamSpeakCallback {
public:
    using uint64 = TeamSpeak::uint64;
    using anyID = TeamSpeak::anyID;

    // --- the callback lists ---
    static inline CallbackList<PermissionOverviewEventArgs> PermissionOverview;
    static inline CallbackList<> PermissionOverviewFinished;
    static inline CallbackList<PermissionErrorEventArgs> PermissionError;

    // --- TeamSpeakCallbackEvents.cpp: host events routed to game instances ---
    // Status 4 also announces the plugin version on the server, with or without an instance.
    static void OnConnectStatusChangeEvent(uint64 serverConnectionHandlerId, int newStatus);
    // Both move exports; the mover is not needed.
    static void OnClientMoveEvent(uint64 serverConnectionHandlerId, anyID clientId, uint64 oldChannelId,
                                  uint64 newChannelId);
    // Capture hardware switched on here is reported as switched off to every other instance.
    static void OnClientSelfVariableUpdateEvent(uint64 serverConnectionHandlerId, int flag,
                                                const char* newValue);
    static void OnTalkStatusChangeEvent(uint64 serverConnectionHandlerId, int status, int isReceivedWhisper,
                                        anyID clientId);

    // --- TeamSpeakCallbackAudio.cpp: the host's audio callbacks, routed by handler ---
    // Without an instance the samples and the volume stay as the host passed them.
    static void OnCustom3dRolloffCalculationClientEvent(uint64 serverConnectionHandlerId, anyID clientId,
                                                        float distance, float* volume);
    static void OnEditPlaybackVoiceDataEvent(uint64 serverConnectionHandlerId, anyID clientId, short* samples,
                                             int sampleCount, int channels);
    static void OnEditPostProcessVoiceDataEvent(uint64 serverConnectionHandlerId, anyID clientId,
                                                short* samples, int sampleCount, int channels,
                                                const unsigned int* channelSpeakerArray,
                                                unsigned int* channelFillMask);
    static void OnEditMixedPlaybackVoiceDataEvent(uint64 serverConnectionHandlerId, short* samples,
                                                  int sampleCount, int channels,
                                                  const unsigned int* channelSpeakerArray,
                                                  unsigned int* channelFillMask);
    static void OnEditCapturedVoiceDataEvent(uint64 serverConnectionHandlerId, short* samples,
                                             int sampleCount, int channels, int* edited);

    // --- TeamSpeakCallbackPermissions.cpp ---
    // Raises PermissionOverview; at log level ExtensiveDebug also logs the entries of the two
    // whisper-power permissions (asking the host for their ids only then).
    static void OnPermissionOverviewEvent(uint64 serverConnectionHandlerId, uint64 clientDatabaseId,
                                          uint64 channelId, int overviewType, uint64 overviewId1,
                                          uint64 overviewId2, unsigned int permissionId, int permissionValue,
                                          int permissionNegated, int permissionSkip);
    static void OnPermissionOverviewFinishedEvent(uint64 serverConnectionHandlerId);
    // Raises PermissionError; always 0, so the host shows its own error as usual.
    static int OnServerPermissionErrorEvent(uint64 serverConnectionHandlerId, const char* errorMessage,
                                            unsigned int error, const char* returnCode,
                                            unsigned int failedPermissionId);

    // --- TeamSpeakCallbackPanel.cpp: info panel and menus ---
    // A fresh NUL-terminated text from the host allocator, or null when the panel shows
    // nothing for the item. The host releases it through ts3plugin_freeMemory.
    static char* InfoData(uint64 serverConnectionHandlerId, uint64 id, TeamSpeak::PluginItemType type);
    // A null-terminated array of fresh menu records, all from the host allocator; the host
    // releases each record and the array through ts3plugin_freeMemory.
    static TeamSpeak::PluginMenuItem** InitMenus();
    // Opens the window behind a menu entry; other ids are ignored.
    static void OnMenuItemEvent(int menuItemId);

    // A host string argument; absent for null.
    static std::optional<std::string> OptionalText(const char* text);
};

} // namespace Tralvonic
