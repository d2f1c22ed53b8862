#pragma once
// Loads a plugin into the simulated client and drives it the way the TeamSpeak client
// does: the start sequence (function table, plugin id, init, menus), host events from the
// event thread, audio from the audio thread, and exactly one shutdown before unloading.
// The plugin is a shared library (Load) or linked into the test (the constructor).

#include "AudioThread.h"
#include "PluginExports.h"
#include "SharedLibrary.h"

#include "TeamSpeak/sdk/HostTypes.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Tralvonic::Sim {

class SimulatedClient;

struct MenuEntry {
    TeamSpeak::PluginMenuType Type;
    int Id;
    std::string Text;
    std::string Icon;
};

class PluginDriver {
public:
    PluginDriver(SimulatedClient& client, const PluginExports& exports);
    // Opens the library and looks up its exports. Throws std::runtime_error when it cannot be
    // opened, lacks a required export or was built for another plugin API.
    static std::unique_ptr<PluginDriver> Load(SimulatedClient& client, const std::string& path);
    // Shuts the plugin down if it still runs, then unloads it.
    ~PluginDriver();
    PluginDriver(const PluginDriver&) = delete;
    PluginDriver& operator=(const PluginDriver&) = delete;

    // setFunctionPointers, registerPluginID, init, on the event thread; on success events
    // flow and the menus are read. Returns init's result; after a failed init the plugin is not started
    // and shutdown is never called, as the real client unloads it at once.
    int Start(const std::string& pluginId = "tralvonic-sim");
    // Stops the audio, lets queued events finish, then calls shutdown (once) on the event
    // thread; no event reaches the plugin afterwards.
    void Shutdown();
    bool IsRunning() const { return _running; }

    const PluginExports& Exports() const { return _exports; }
    AudioThread& Audio() { return *_audio; }
    const std::vector<MenuEntry>& Menus() const { return _menus; }
    // The plugin's info panel text for an item; absent when it has none. Released through
    // the plugin's freeMemory, as the client does.
    std::optional<std::string> InfoData(TeamSpeak::uint64 handler, TeamSpeak::uint64 id,
                                        TeamSpeak::PluginItemType type);
    void SelectMenuItem(TeamSpeak::uint64 handler, int menuItemId,
                        TeamSpeak::PluginMenuType type = TeamSpeak::PLUGIN_MENU_TYPE_GLOBAL,
                        TeamSpeak::uint64 selectedItemId = 0);

private:
    PluginDriver(SimulatedClient& client, const PluginExports& exports,
                 std::unique_ptr<SharedLibrary> library);
    void ReadMenus();
    void Release(void* block);

    SimulatedClient& _client;
    PluginExports _exports;
    std::unique_ptr<SharedLibrary> _library; // unloaded last, in the destructor
    std::unique_ptr<AudioThread> _audio;
    bool _running = false;
    std::vector<MenuEntry> _menus;
};

} // namespace Tralvonic::Sim
