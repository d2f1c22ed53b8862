#pragma once
// The 32 entry points the TeamSpeak 3 client looks up by name in the plugin library, with
// the SDK's C signatures. They are the only symbols the library exports (exports.map);
// each one catches whatever its work throws, so nothing crosses into the host.
// The host calls them on its own threads; the voice-data and rolloff exports come from its
// audio processing, concurrently with the rest.

#include "TeamSpeak/sdk/HostFunctions.h"

#if defined(_WIN32)
#define TRALVONIC_EXPORT __declspec(dllexport)
#else
#define TRALVONIC_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {

// --- the plugin's identity and life (ExportsPlugin.cpp) ---
TRALVONIC_EXPORT const char* ts3plugin_name();
TRALVONIC_EXPORT const char* ts3plugin_version();
TRALVONIC_EXPORT int ts3plugin_apiVersion();
TRALVONIC_EXPORT const char* ts3plugin_author();
TRALVONIC_EXPORT const char* ts3plugin_description();
TRALVONIC_EXPORT void ts3plugin_setFunctionPointers(const struct TeamSpeak::TS3Functions funcs);
TRALVONIC_EXPORT int ts3plugin_init();
TRALVONIC_EXPORT void ts3plugin_shutdown();
TRALVONIC_EXPORT void ts3plugin_registerPluginID(const char* id);
TRALVONIC_EXPORT int ts3plugin_offersConfigure();
TRALVONIC_EXPORT void ts3plugin_configure(void* handle, void* qParentWidget);
TRALVONIC_EXPORT const char* ts3plugin_commandKeyword();
TRALVONIC_EXPORT int ts3plugin_processCommand(TeamSpeak::uint64 serverConnectionHandlerID,
                                              const char* command);
TRALVONIC_EXPORT int ts3plugin_requestAutoload();

// --- info panel, menus and the blocks handed to the host (ExportsPlugin.cpp) ---
TRALVONIC_EXPORT const char* ts3plugin_infoTitle();
TRALVONIC_EXPORT void ts3plugin_infoData(TeamSpeak::uint64 serverConnectionHandlerID, TeamSpeak::uint64 id,
                                         enum TeamSpeak::PluginItemType type, char** data);
TRALVONIC_EXPORT void ts3plugin_initMenus(struct TeamSpeak::PluginMenuItem*** menuItems, char** menuIcon);
TRALVONIC_EXPORT void ts3plugin_onMenuItemEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                enum TeamSpeak::PluginMenuType type, int menuItemID,
                                                TeamSpeak::uint64 selectedItemID);
TRALVONIC_EXPORT void ts3plugin_freeMemory(void* data);

// --- host events (ExportsEvents.cpp) ---
TRALVONIC_EXPORT void ts3plugin_onConnectStatusChangeEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                           int newStatus, unsigned int errorNumber);
TRALVONIC_EXPORT void ts3plugin_onClientMoveEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                  TeamSpeak::anyID clientID, TeamSpeak::uint64 oldChannelID,
                                                  TeamSpeak::uint64 newChannelID, int visibility,
                                                  const char* moveMessage);
TRALVONIC_EXPORT void
ts3plugin_onClientMoveMovedEvent(TeamSpeak::uint64 serverConnectionHandlerID, TeamSpeak::anyID clientID,
                                 TeamSpeak::uint64 oldChannelID, TeamSpeak::uint64 newChannelID,
                                 int visibility, TeamSpeak::anyID moverID, const char* moverName,
                                 const char* moverUniqueIdentifier, const char* moveMessage);
TRALVONIC_EXPORT void ts3plugin_onClientSelfVariableUpdateEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                                int flag, const char* oldValue,
                                                                const char* newValue);
TRALVONIC_EXPORT void ts3plugin_onTalkStatusChangeEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                        int status, int isReceivedWhisper,
                                                        TeamSpeak::anyID clientID);
TRALVONIC_EXPORT void ts3plugin_onPermissionOverviewEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                          TeamSpeak::uint64 clientDatabaseID,
                                                          TeamSpeak::uint64 channelID, int overviewType,
                                                          TeamSpeak::uint64 overviewID1,
                                                          TeamSpeak::uint64 overviewID2,
                                                          unsigned int permissionID, int permissionValue,
                                                          int permissionNegated, int permissionSkip);
TRALVONIC_EXPORT void
ts3plugin_onPermissionOverviewFinishedEvent(TeamSpeak::uint64 serverConnectionHandlerID);
TRALVONIC_EXPORT int ts3plugin_onServerPermissionErrorEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                            const char* errorMessage, unsigned int error,
                                                            const char* returnCode,
                                                            unsigned int failedPermissionID);

// --- audio processing (ExportsEvents.cpp) ---
TRALVONIC_EXPORT void
ts3plugin_onCustom3dRolloffCalculationClientEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                  TeamSpeak::anyID clientID, float distance, float* volume);
TRALVONIC_EXPORT void ts3plugin_onEditPlaybackVoiceDataEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                             TeamSpeak::anyID clientID, short* samples,
                                                             int sampleCount, int channels);
TRALVONIC_EXPORT void ts3plugin_onEditPostProcessVoiceDataEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                                TeamSpeak::anyID clientID, short* samples,
                                                                int sampleCount, int channels,
                                                                const unsigned int* channelSpeakerArray,
                                                                unsigned int* channelFillMask);
TRALVONIC_EXPORT void ts3plugin_onEditMixedPlaybackVoiceDataEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                                  short* samples, int sampleCount,
                                                                  int channels,
                                                                  const unsigned int* channelSpeakerArray,
                                                                  unsigned int* channelFillMask);
TRALVONIC_EXPORT void ts3plugin_onEditCapturedVoiceDataEvent(TeamSpeak::uint64 serverConnectionHandlerID,
                                                             short* samples, int sampleCount, int channels,
                                                             int* edited);

} // extern "C"
