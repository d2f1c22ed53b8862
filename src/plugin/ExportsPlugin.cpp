// The exports through which the host learns who the plugin is, starts and stops it, and
// reads its menus and info panel.

#include "plugin/Exports.h"

#include "plugin/ExportGuard.h"
#include "plugin/TeamSpeakCallback.h"

#include "TeamSpeak/Base.h"
#include "core/Base.h"
#include "core/MenuWindow.h"

#include <cstdlib>

using namespace Tralvonic;

namespace {

constexpr int ApiVersion = 26;

// The identity texts live as long as the library, so the host may keep the pointers.
constexpr const char* NameText = Base::Name.data();
constexpr const char* VersionText = Base::Version.data();
constexpr const char* AuthorText = Base::Author.data();
constexpr const char* DescriptionText = Base::Description.data();

} // namespace

const char* ts3plugin_name() {
    return NameText;
}

const char* ts3plugin_version() {
    return VersionText;
}

int ts3plugin_apiVersion() {
    return ApiVersion;
}

// The host never releases this text, so a fresh copy per call would be lost every time; the
// library's own constant serves as well.
const char* ts3plugin_author() {
    return AuthorText;
}

const char* ts3plugin_description() {
    return DescriptionText;
}

void ts3plugin_setFunctionPointers(const TeamSpeak::TS3Functions funcs) {
    TeamSpeak::Base::SetFunctions(funcs);
}

int ts3plugin_init() {
    try {
        return Base::OnPluginStart();
    } catch (...) {
        // The host unloads a plugin whose init failed without calling shutdown, so whatever
        // did start must stop here.
        LogEscapedException();
        Guarded([] { Base::OnPluginStop(); });
        return 1;
    }
}

void ts3plugin_shutdown() {
    Guarded([] { Base::OnPluginStop(); });
}

void ts3plugin_registerPluginID(const char* id) {
    Guarded([id] { TeamSpeak::Base::SetPluginId(TeamSpeak::Base::MarshalNativeUtf8ToManagedString(id)); });
}

int ts3plugin_offersConfigure() {
    return TeamSpeak::PLUGIN_OFFERS_CONFIGURE_NEW_THREAD;
}

void ts3plugin_configure(void*, void*) {
    Guarded([] { Base::OpenMenuWindow(MenuWindow::Settings); });
}

// The plugin has no chat command.
const char* ts3plugin_commandKeyword() {
    return "";
}

int ts3plugin_processCommand(TeamSpeak::uint64, const char*) {
    return 0;
}

int ts3plugin_requestAutoload() {
    return 0;
}

const char* ts3plugin_infoTitle() {
    return NameText;
}

void ts3plugin_infoData(TeamSpeak::uint64 serverConnectionHandlerID, TeamSpeak::uint64 id,
                        TeamSpeak::PluginItemType type, char** data) {
    if (data == nullptr) {
        return;
    }
    *data = nullptr;
    Guarded([&] { *data = TeamSpeakCallback::InfoData(serverConnectionHandlerID, id, type); });
}

void ts3plugin_initMenus(TeamSpeak::PluginMenuItem*** menuItems, char** menuIcon) {
    if (menuIcon != nullptr) {
        *menuIcon = nullptr;
    }
    if (menuItems == nullptr) {
        return;
    }
    *menuItems = nullptr;
    Guarded([&] { *menuItems = TeamSpeakCallback::InitMenus(); });
}

void ts3plugin_onMenuItemEvent(TeamSpeak::uint64, TeamSpeak::PluginMenuType, int menuItemID,
                               TeamSpeak::uint64) {
    Guarded([menuItemID] { TeamSpeakCallback::OnMenuItemEvent(menuItemID); });
}

// Every block the plugin hands to the host (menu array, menu records, info texts) comes from
// std::malloc or std::calloc.
void ts3plugin_freeMemory(void* data) {
    std::free(data);
}
