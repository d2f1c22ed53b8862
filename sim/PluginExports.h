#pragma once
// The plugin's exported entry points as the simulated client calls them, named after the
// exports without their "ts3plugin_" prefix. A plugin comes either from a shared library
// (FromLibrary, looked up by name) or linked into a test, which fills the fields it
// needs. Every field may be null: the client skips what a plugin does not export, and
// refuses to load a library that lacks one of the required eight.

#include "TeamSpeak/sdk/HostFunctions.h"

#include <string>
#include <vector>

namespace Tralvonic::Sim {

class SharedLibrary;

struct PluginExports {
    using uint64 = TeamSpeak::uint64;
    using anyID = TeamSpeak::anyID;

    // the required eight
    const char* (*name)() = nullptr;
    const char* (*version)() = nullptr;
    int (*apiVersion)() = nullptr;
    const char* (*author)() = nullptr;
    const char* (*description)() = nullptr;
    void (*setFunctionPointers)(const TeamSpeak::TS3Functions funcs) = nullptr;
    int (*init)() = nullptr;
    void (*shutdown)() = nullptr;

    // questions the client asks
    int (*offersConfigure)() = nullptr;
    void (*configure)(void* handle, void* qParentWidget) = nullptr;
    void (*registerPluginID)(const char* id) = nullptr;
    const char* (*commandKeyword)() = nullptr;
    int (*processCommand)(uint64 serverConnectionHandlerID, const char* command) = nullptr;
    void (*currentServerConnectionChanged)(uint64 serverConnectionHandlerID) = nullptr;
    const char* (*infoTitle)() = nullptr;
    void (*infoData)(uint64 serverConnectionHandlerID, uint64 id, TeamSpeak::PluginItemType type,
                     char** data) = nullptr;
    void (*freeMemory)(void* data) = nullptr;
    int (*requestAutoload)() = nullptr;
    void (*initMenus)(TeamSpeak::PluginMenuItem*** menuItems, char** menuIcon) = nullptr;
    void (*onMenuItemEvent)(uint64 serverConnectionHandlerID, TeamSpeak::PluginMenuType type, int menuItemID,
                            uint64 selectedItemID) = nullptr;

    // events
    void (*onConnectStatusChangeEvent)(uint64 serverConnectionHandlerID, int newStatus,
                                       unsigned int errorNumber) = nullptr;
    void (*onClientMoveEvent)(uint64 serverConnectionHandlerID, anyID clientID, uint64 oldChannelID,
                              uint64 newChannelID, int visibility, const char* moveMessage) = nullptr;
    void (*onClientMoveSubscriptionEvent)(uint64 serverConnectionHandlerID, anyID clientID,
                                          uint64 oldChannelID, uint64 newChannelID, int visibility) = nullptr;
    void (*onClientMoveMovedEvent)(uint64 serverConnectionHandlerID, anyID clientID, uint64 oldChannelID,
                                   uint64 newChannelID, int visibility, anyID moverID, const char* moverName,
                                   const char* moverUniqueIdentifier, const char* moveMessage) = nullptr;
    void (*onClientSelfVariableUpdateEvent)(uint64 serverConnectionHandlerID, int flag, const char* oldValue,
                                            const char* newValue) = nullptr;
    void (*onUpdateClientEvent)(uint64 serverConnectionHandlerID, anyID clientID, anyID invokerID,
                                const char* invokerName, const char* invokerUniqueIdentifier) = nullptr;
    void (*onUpdateChannelEvent)(uint64 serverConnectionHandlerID, uint64 channelID) = nullptr;
    void (*onUpdateChannelEditedEvent)(uint64 serverConnectionHandlerID, uint64 channelID, anyID invokerID,
                                       const char* invokerName,
                                       const char* invokerUniqueIdentifier) = nullptr;
    void (*onTalkStatusChangeEvent)(uint64 serverConnectionHandlerID, int status, int isReceivedWhisper,
                                    anyID clientID) = nullptr;
    int (*onServerErrorEvent)(uint64 serverConnectionHandlerID, const char* errorMessage, unsigned int error,
                              const char* returnCode, const char* extraMessage) = nullptr;
    int (*onServerPermissionErrorEvent)(uint64 serverConnectionHandlerID, const char* errorMessage,
                                        unsigned int error, const char* returnCode,
                                        unsigned int failedPermissionID) = nullptr;
    void (*onPermissionOverviewEvent)(uint64 serverConnectionHandlerID, uint64 clientDatabaseID,
                                      uint64 channelID, int overviewType, uint64 overviewID1,
                                      uint64 overviewID2, unsigned int permissionID, int permissionValue,
                                      int permissionNegated, int permissionSkip) = nullptr;
    void (*onPermissionOverviewFinishedEvent)(uint64 serverConnectionHandlerID) = nullptr;

    // audio, called on the audio thread
    void (*onEditPlaybackVoiceDataEvent)(uint64 serverConnectionHandlerID, anyID clientID, short* samples,
                                         int sampleCount, int channels) = nullptr;
    void (*onEditPostProcessVoiceDataEvent)(uint64 serverConnectionHandlerID, anyID clientID, short* samples,
                                            int sampleCount, int channels,
                                            const unsigned int* channelSpeakerArray,
                                            unsigned int* channelFillMask) = nullptr;
    void (*onEditMixedPlaybackVoiceDataEvent)(uint64 serverConnectionHandlerID, short* samples,
                                              int sampleCount, int channels,
                                              const unsigned int* channelSpeakerArray,
                                              unsigned int* channelFillMask) = nullptr;
    void (*onEditCapturedVoiceDataEvent)(uint64 serverConnectionHandlerID, short* samples, int sampleCount,
                                         int channels, int* edited) = nullptr;
    void (*onCustom3dRolloffCalculationClientEvent)(uint64 serverConnectionHandlerID, anyID clientID,
                                                    float distance, float* volume) = nullptr;
    void (*onCustom3dRolloffCalculationWaveEvent)(uint64 serverConnectionHandlerID, uint64 waveHandle,
                                                  float distance, float* volume) = nullptr;

    // Looks every field up in a loaded library.
    static PluginExports FromLibrary(const SharedLibrary& library);
    // The names of the required exports that are missing; empty when the plugin can load.
    std::vector<std::string> MissingRequired() const;
};

} // namespace Tralvonic::Sim
