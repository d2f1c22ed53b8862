#include "PluginDriver.h"

#include "SimulatedClient.h"

#include <stdexcept>
#include <utility>

namespace Tralvonic::Sim {

namespace {

constexpr int ApiVersion = 26;

std::string Join(const std::vector<std::string>& names) {
    std::string text;
    for (const auto& name : names) {
        text += (text.empty() ? "" : ", ") + name;
    }
    return text;
}

} // namespace

PluginDriver::PluginDriver(SimulatedClient& client, const PluginExports& exports)
    : PluginDriver(client, exports, nullptr) {}

PluginDriver::PluginDriver(SimulatedClient& client, const PluginExports& exports,
                           std::unique_ptr<SharedLibrary> library)
    : _client(client), _exports(exports), _library(std::move(library)),
      _audio(std::make_unique<AudioThread>(client)) {}

std::unique_ptr<PluginDriver> PluginDriver::Load(SimulatedClient& client, const std::string& path) {
    auto library = std::make_unique<SharedLibrary>(path);
    const PluginExports exports = PluginExports::FromLibrary(*library);
    std::string problem;
    if (auto missing = exports.MissingRequired(); !missing.empty()) {
        problem = "lacks " + Join(missing);
    } else if (exports.apiVersion() != ApiVersion) {
        problem = "was built for plugin API " + std::to_string(exports.apiVersion());
    }
    if (!problem.empty()) {
        throw std::runtime_error(path + " " + problem);
    }
    return std::unique_ptr<PluginDriver>(new PluginDriver(client, exports, std::move(library)));
}

PluginDriver::~PluginDriver() {
    Shutdown();
    _audio.reset();
    _library.reset();
}

int PluginDriver::Start(const std::string& pluginId) {
    if (_running) {
        throw std::logic_error("the plugin already runs");
    }
    // The client starts a plugin on the thread that delivers its events, so no event can
    // overtake init; those the plugin causes during init follow it.
    int result = 0;
    _client.RunOnEventThread([&] {
        if (_exports.setFunctionPointers) {
            _exports.setFunctionPointers(_client.Functions());
        }
        if (_exports.registerPluginID) {
            _exports.registerPluginID(pluginId.c_str());
        }
        _client.AttachPlugin(_exports);
        result = _exports.init ? _exports.init() : 0;
        if (result != 0) {
            _client.DetachPlugin();
        }
    });
    if (result != 0) {
        return result;
    }
    _running = true;
    ReadMenus();
    return result;
}

void PluginDriver::Shutdown() {
    if (!_running) {
        return;
    }
    _running = false;
    _audio->Stop();
    // After the events queued so far, on the event thread. Events the plugin causes while
    // stopping no longer reach it, as with a client that unloads the plugin.
    _client.RunOnEventThread([&] {
        _client.DetachPlugin();
        if (_exports.shutdown) {
            _exports.shutdown();
        }
    });
    _client.WaitForEvents();
}

void PluginDriver::ReadMenus() {
    if (!_exports.initMenus) {
        return;
    }
    TeamSpeak::PluginMenuItem** items = nullptr;
    char* icon = nullptr;
    _exports.initMenus(&items, &icon);
    for (auto** item = items; item != nullptr && *item != nullptr; ++item) {
        _menus.push_back(MenuEntry{(*item)->type, (*item)->id, (*item)->text, (*item)->icon});
        Release(*item);
    }
    Release(items);
    Release(icon);
}

std::optional<std::string> PluginDriver::InfoData(TeamSpeak::uint64 handler, TeamSpeak::uint64 id,
                                                  TeamSpeak::PluginItemType type) {
    if (!_exports.infoData) {
        return std::nullopt;
    }
    char* data = nullptr;
    _exports.infoData(handler, id, type, &data);
    if (data == nullptr) {
        return std::nullopt;
    }
    std::string text(data);
    Release(data);
    return text;
}

void PluginDriver::SelectMenuItem(TeamSpeak::uint64 handler, int menuItemId, TeamSpeak::PluginMenuType type,
                                  TeamSpeak::uint64 selectedItemId) {
    _client.Raise([=](const PluginExports& plugin) {
        if (plugin.onMenuItemEvent) {
            plugin.onMenuItemEvent(handler, type, menuItemId, selectedItemId);
        }
    });
}

void PluginDriver::Release(void* block) {
    if (block != nullptr && _exports.freeMemory) {
        _exports.freeMemory(block);
    }
}

} // namespace Tralvonic::Sim
