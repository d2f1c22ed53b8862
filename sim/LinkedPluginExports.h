#pragma once
// The exports of a plugin that is linked into the program instead of loaded from its library:
// the tests and the fuzz targets hand the simulated client the very functions the TeamSpeak
// client would find in the library.

#include "plugin/Exports.h"

#include "PluginExports.h"

namespace Tralvonic::Sim {

inline PluginExports LinkedPluginExports() {
    PluginExports exports;
    exports.name = ts3plugin_name;
    exports.version = ts3plugin_version;
    exports.apiVersion = ts3plugin_apiVersion;
    exports.author = ts3plugin_author;
    exports.description = ts3plugin_description;
    exports.setFunctionPointers = ts3plugin_setFunctionPointers;
    exports.init = ts3plugin_init;
    exports.shutdown = ts3plugin_shutdown;
    exports.offersConfigure = ts3plugin_offersConfigure;
    exports.configure = ts3plugin_configure;
    exports.registerPluginID = ts3plugin_registerPluginID;
    exports.commandKeyword = ts3plugin_commandKeyword;
    exports.processCommand = ts3plugin_processCommand;
    exports.infoTitle = ts3plugin_infoTitle;
    exports.infoData = ts3plugin_infoData;
    exports.freeMemory = ts3plugin_freeMemory;
    exports.requestAutoload = ts3plugin_requestAutoload;
    exports.initMenus = ts3plugin_initMenus;
    exports.onMenuItemEvent = ts3plugin_onMenuItemEvent;
    exports.onConnectStatusChangeEvent = ts3plugin_onConnectStatusChangeEvent;
    exports.onClientMoveEvent = ts3plugin_onClientMoveEvent;
    exports.onClientMoveMovedEvent = ts3plugin_onClientMoveMovedEvent;
    exports.onClientSelfVariableUpdateEvent = ts3plugin_onClientSelfVariableUpdateEvent;
    exports.onTalkStatusChangeEvent = ts3plugin_onTalkStatusChangeEvent;
    exports.onServerPermissionErrorEvent = ts3plugin_onServerPermissionErrorEvent;
    exports.onPermissionOverviewEvent = ts3plugin_onPermissionOverviewEvent;
    exports.onPermissionOverviewFinishedEvent = ts3plugin_onPermissionOverviewFinishedEvent;
    exports.onEditPlaybackVoiceDataEvent = ts3plugin_onEditPlaybackVoiceDataEvent;
    exports.onEditPostProcessVoiceDataEvent = ts3plugin_onEditPostProcessVoiceDataEvent;
    exports.onEditMixedPlaybackVoiceDataEvent = ts3plugin_onEditMixedPlaybackVoiceDataEvent;
    exports.onEditCapturedVoiceDataEvent = ts3plugin_onEditCapturedVoiceDataEvent;
    exports.onCustom3dRolloffCalculationClientEvent = ts3plugin_onCustom3dRolloffCalculationClientEvent;
    return exports;
}

} // namespace Tralvonic::Sim
