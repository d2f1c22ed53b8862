#include "plugin/TeamSpeakCallback.h"

#include "Model/Text.h"
#include "TeamSpeak/Base.h"
#include "TeamSpeak/Client.h"
#include "TeamSpeak/Server.h"
#include "core/Base.h"
#include "core/MenuWindow.h"

#include <array>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>

namespace Tralvonic {

namespace {

struct MenuEntry {
    MenuItem Id;
    std::string_view Text;
};

constexpr std::array<MenuEntry, 2> MenuEntries{{
    {MenuItem::Settings, "Settings"},
    {MenuItem::Troubleshooting, "Troubleshooting"},
}};

// Frees a half-built menu when creating one of its records fails.
struct MenuArrayGuard {
    TeamSpeak::PluginMenuItem** Items;
    ~MenuArrayGuard() {
        if (Items == nullptr) {
            return;
        }
        for (auto** item = Items; *item != nullptr; ++item) {
            std::free(*item);
        }
        std::free(Items);
    }
};

} // namespace

char* TeamSpeakCallback::InfoData(uint64 serverConnectionHandlerId, uint64 id,
                                  TeamSpeak::PluginItemType type) {
    const TeamSpeak::Server server(serverConnectionHandlerId);
    std::string text;
    switch (type) {
    case TeamSpeak::PLUGIN_SERVER:
        text = "Server UID: " + server.UniqueIdentifier();
        break;
    case TeamSpeak::PLUGIN_CHANNEL:
        text = "Channel ID: " + std::to_string(id);
        break;
    case TeamSpeak::PLUGIN_CLIENT:
        // The version of the plugin that client runs, as it announced it; client ids are the
        // low 16 bits of the item id.
        text = TeamSpeak::Client(server, static_cast<anyID>(id & 0xFFFF)).GetMetaData(Base::Name);
        if (IsBlank(text)) {
            return nullptr;
        }
        break;
    default:
        return nullptr;
    }
    return TeamSpeak::Base::AllocConvertManagedStringToNativeUtf8(text).release();
}

TeamSpeak::PluginMenuItem** TeamSpeakCallback::InitMenus() {
    auto** items = static_cast<TeamSpeak::PluginMenuItem**>(
        std::calloc(MenuEntries.size() + 1, sizeof(TeamSpeak::PluginMenuItem*)));
    if (items == nullptr) {
        throw std::bad_alloc();
    }
    MenuArrayGuard guard{items};
    for (std::size_t i = 0; i < MenuEntries.size(); ++i) {
        items[i] = TeamSpeak::Base::CreateMenuItem(
            TeamSpeak::PLUGIN_MENU_TYPE_GLOBAL, static_cast<int>(MenuEntries[i].Id), MenuEntries[i].Text, "");
    }
    guard.Items = nullptr;
    return items;
}

void TeamSpeakCallback::OnMenuItemEvent(int menuItemId) {
    switch (static_cast<MenuItem>(menuItemId)) {
    case MenuItem::Settings:
        Base::OpenMenuWindow(MenuWindow::Settings);
        break;
    case MenuItem::Troubleshooting:
        Base::OpenMenuWindow(MenuWindow::Troubleshooting);
        break;
    default:
        break;
    }
}

} // namespace Tralvonic
