#pragma once
// The basic types and records of the TeamSpeak 3 client plugin SDK (API 26), with the
// SDK's binary layout. Only src/TeamSpeak/, src/plugin/ and the simulated host see these.

#include "TeamSpeak/sdk/HostEnums.h"

#include <cstddef>
#include <cstdint>

namespace TeamSpeak {

using uint64 = std::uint64_t;
using anyID = std::uint16_t;

struct TS3_VECTOR {
    float x;
    float y;
    float z;
};
static_assert(sizeof(TS3_VECTOR) == 12);
static_assert(offsetof(TS3_VECTOR, y) == 4 && offsetof(TS3_VECTOR, z) == 8);

struct PluginMenuItem {
    PluginMenuType type;
    int id;
    char text[PLUGIN_MENU_BUFSZ];
    char icon[PLUGIN_MENU_BUFSZ];
};
static_assert(sizeof(PluginMenuItem) == 264);
static_assert(offsetof(PluginMenuItem, id) == 4 && offsetof(PluginMenuItem, text) == 8 &&
              offsetof(PluginMenuItem, icon) == 136);

struct PluginHotkey {
    char keyword[PLUGIN_HOTKEY_BUFSZ];
    char description[PLUGIN_HOTKEY_BUFSZ];
};
static_assert(sizeof(PluginHotkey) == 256);

// Only ever handled through a pointer the host owns.
struct PluginBookmarkList;

} // namespace TeamSpeak
