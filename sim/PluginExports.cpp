#include "PluginExports.h"

#include "SharedLibrary.h"

namespace Tralvonic::Sim {

namespace {

template <typename Function> void Resolve(const SharedLibrary& library, const char* name, Function& field) {
    const std::string symbol = std::string("ts3plugin_") + name;
    field = reinterpret_cast<Function>(library.Symbol(symbol.c_str()));
}

} // namespace

PluginExports PluginExports::FromLibrary(const SharedLibrary& library) {
    PluginExports exports;
    Resolve(library, "name", exports.name);
    Resolve(library, "version", exports.version);
    Resolve(library, "apiVersion", exports.apiVersion);
    Resolve(library, "author", exports.author);
    Resolve(library, "description", exports.description);
    Resolve(library, "setFunctionPointers", exports.setFunctionPointers);
    Resolve(library, "init", exports.init);
    Resolve(library, "shutdown", exports.shutdown);
    Resolve(library, "offersConfigure", exports.offersConfigure);
    Resolve(library, "configure", exports.configure);
    Resolve(library, "registerPluginID", exports.registerPluginID);
    Resolve(library, "commandKeyword", exports.commandKeyword);
    Resolve(library, "processCommand", exports.processCommand);
    Resolve(library, "currentServerConnectionChanged", exports.currentServerConnectionChanged);
    Resolve(library, "infoTitle", exports.infoTitle);
    Resolve(library, "infoData", exports.infoData);
    Resolve(library, "freeMemory", exports.freeMemory);
    Resolve(library, "requestAutoload", exports.requestAutoload);
    Resolve(library, "initMenus", exports.initMenus);
    Resolve(library, "onMenuItemEvent", exports.onMenuItemEvent);
    Resolve(library, "onConnectStatusChangeEvent", exports.onConnectStatusChangeEvent);
    Resolve(library, "onClientMoveEvent", exports.onClientMoveEvent);
    Resolve(library, "onClientMoveSubscriptionEvent", exports.onClientMoveSubscriptionEvent);
    Resolve(library, "onClientMoveMovedEvent", exports.onClientMoveMovedEvent);
    Resolve(library, "onClientSelfVariableUpdateEvent", exports.onClientSelfVariableUpdateEvent);
    Resolve(library, "onUpdateClientEvent", exports.onUpdateClientEvent);
    Resolve(library, "onUpdateChannelEvent", exports.onUpdateChannelEvent);
    Resolve(library, "onUpdateChannelEditedEvent", exports.onUpdateChannelEditedEvent);
    Resolve(library, "onTalkStatusChangeEvent", exports.onTalkStatusChangeEvent);
    Resolve(library, "onServerErrorEvent", exports.onServerErrorEvent);
    Resolve(library, "onServerPermissionErrorEvent", exports.onServerPermissionErrorEvent);
    Resolve(library, "onPermissionOverviewEvent", exports.onPermissionOverviewEvent);
    Resolve(library, "onPermissionOverviewFinishedEvent", exports.onPermissionOverviewFinishedEvent);
    Resolve(library, "onEditPlaybackVoiceDataEvent", exports.onEditPlaybackVoiceDataEvent);
    Resolve(library, "onEditPostProcessVoiceDataEvent", exports.onEditPostProcessVoiceDataEvent);
    Resolve(library, "onEditMixedPlaybackVoiceDataEvent", exports.onEditMixedPlaybackVoiceDataEvent);
    Resolve(library, "onEditCapturedVoiceDataEvent", exports.onEditCapturedVoiceDataEvent);
    Resolve(library, "onCustom3dRolloffCalculationClientEvent",
            exports.onCustom3dRolloffCalculationClientEvent);
    Resolve(library, "onCustom3dRolloffCalculationWaveEvent", exports.onCustom3dRolloffCalculationWaveEvent);
    return exports;
}

std::vector<std::string> PluginExports::MissingRequired() const {
    std::vector<std::string> missing;
    auto check = [&](bool present, const char* exportName) {
        if (!present) {
            missing.push_back(std::string("ts3plugin_") + exportName);
        }
    };
    check(name != nullptr, "name");
    check(version != nullptr, "version");
    check(apiVersion != nullptr, "apiVersion");
    check(author != nullptr, "author");
    check(description != nullptr, "description");
    check(setFunctionPointers != nullptr, "setFunctionPointers");
    check(init != nullptr, "init");
    check(shutdown != nullptr, "shutdown");
    return missing;
}

} // namespace Tralvonic::Sim
