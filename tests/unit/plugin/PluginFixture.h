#pragma once
// The plugin's own exports, linked into the test, loaded into the simulated client the way
// the TeamSpeak client loads the library: a plugin folder in a fresh temporary directory with
// the stand-in voice-effect library and a settings file, the game link on an ephemeral
// loopback port, a recording platform, and a stop at the end.

#include "plugin/Exports.h"

#include "Model/GameInstanceSettings.h"
#include "core/Base.h"
#include "core/LogChannel.h"
#include "instance/GameInstance.h"
#include "support/FakePlatform.h"

#include "PluginDriver.h"
#include "SimulatedClient.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace Tralvonic::Test {

// Every export the simulated client knows how to call, taken from the linked-in plugin.
inline Sim::PluginExports LinkedExports() {
    Sim::PluginExports exports;
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

inline const std::filesystem::path CompleteEffectLibrary =
    std::filesystem::path(TEST_EFFECTS_DIRECTORY) / "complete" / TRALVONIC_VOICE_FILE_NAME;

// A plugin directory with a "Tralvonic" folder holding the effect library; removed at the end.
class PluginFolder {
public:
    PluginFolder() {
        std::random_device random;
        Directory = std::filesystem::temp_directory_path() / ("tralvonic-plugin-" + std::to_string(random()));
        std::filesystem::create_directories(Folder());
        std::filesystem::copy_file(CompleteEffectLibrary, Folder() / CompleteEffectLibrary.filename());
    }
    ~PluginFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(Directory, ignored);
    }
    PluginFolder(const PluginFolder&) = delete;
    PluginFolder& operator=(const PluginFolder&) = delete;

    std::filesystem::path Folder() const { return Directory / "Tralvonic"; }
    std::filesystem::path SettingsFile() const { return Folder() / "settings.json"; }
    void WriteSettings(const std::string& json) const {
        std::ofstream(SettingsFile(), std::ios::binary) << json;
    }

    std::filesystem::path Directory;
};

class PluginTest : public ::testing::Test {
protected:
    PluginTest() {
        System.Directory = Folder.Directory.string();
        Folder.WriteSettings(
            R"({"ExpertMode":true,"WebSocketAddress":"127.0.0.1:0","LogLevel":"Extensive"})");
    }

    ~PluginTest() override {
        Driver.reset();
        Base::SetMenuWindowFactory(nullptr);
        Base::SetConfiguration(Configuration{});
    }

    // Loads and starts the plugin; the menus are read on success.
    int StartPlugin() {
        Driver = std::make_unique<Sim::PluginDriver>(Sim, LinkedExports());
        return Driver->Start();
    }

    void StopPlugin() { Driver->Shutdown(); }

    // A server tab with the user's own client in its default channel "Lobby".
    Sim::SimServer& AddServer(const std::string& uniqueIdentifier,
                              int status = TeamSpeak::STATUS_CONNECTION_ESTABLISHED) {
        Sim::SimServer& server = Sim.AddServer(uniqueIdentifier, "Server " + uniqueIdentifier, status);
        const auto lobby = server.AddChannel("Lobby");
        server.AddOwnClient("Me", lobby);
        return server;
    }

    static std::shared_ptr<GameInstance> MakeInstance(const std::string& serverUniqueIdentifier,
                                                      std::uint64_t channelId = 0) {
        Model::GameInstanceSettings settings;
        settings.ServerUniqueIdentifier = serverUniqueIdentifier;
        settings.Name = "Player";
        settings.ChannelId = channelId;
        return std::make_shared<GameInstance>(settings);
    }

    // The element <Tralvonic>...</Tralvonic> of the user's own meta data on that tab.
    bool IsAnnounced(Sim::SimServer& server) const {
        return server.Own().MetaData().find("<Tralvonic>3.1.2</Tralvonic>") != std::string::npos;
    }

    std::vector<Sim::LogEntry> LogsOn(LogChannel channel) const {
        std::vector<Sim::LogEntry> entries;
        for (auto& entry : Sim.LogEntries()) {
            if (entry.LogId == static_cast<std::uint64_t>(channel)) {
                entries.push_back(std::move(entry));
            }
        }
        return entries;
    }

    bool Logged(LogChannel channel, const std::string& message) const {
        const auto entries = LogsOn(channel);
        return std::any_of(entries.begin(), entries.end(),
                           [&](const Sim::LogEntry& entry) { return entry.Message == message; });
    }

    // Events raised so far have reached the plugin.
    void Settle() { ASSERT_TRUE(Sim.WaitForEvents()); }

    Sim::SimulatedClient Sim;
    PluginFolder Folder;
    Testing::FakePlatform System;
    Testing::ScopedPlatform InstalledSystem{System};
    std::unique_ptr<Sim::PluginDriver> Driver;
};

} // namespace Tralvonic::Test
