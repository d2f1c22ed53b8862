#pragma once
// The host binding's process-wide state and helpers: the host function table, the plugin
// id, the call checker and the converters for text, id lists and menu records that cross
// the host boundary. Every function may be called from any thread; the table is written
// once before the plugin runs and read without a lock afterwards.

#include "TeamSpeak/sdk/HostFunctions.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <source_location>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace TeamSpeak {

// Releases with std::free what the converters allocate with std::malloc, so a buffer can
// also be handed to the host and come back through the plugin's freeMemory.
struct FreeDeleter {
    void operator()(void* block) const { std::free(block); }
};
using Utf8Buffer = std::unique_ptr<char[], FreeDeleter>;

class Base {
public:
    static constexpr std::string_view Name = "Plugin Wrapper";

    // --- the table and the plugin id ---
    static void SetFunctions(const TS3Functions& functions);
    static const TS3Functions& Functions() { return _functions; }
    static std::string PluginId();
    static void SetPluginId(std::string_view pluginId);

    // --- call checking ---
    // True for Ok and OkNoUpdate. Any other code writes one error line
    // "{name} ({code}) at {unit}:{line}" on the channel "Plugin Wrapper" and gives false.
    static bool Check(unsigned int code, std::source_location location = std::source_location::current());
    // The source unit's name as it appears in the line: the file name without directory
    // and extension.
    static std::string_view UnitName(std::string_view fileName);

    // --- text ---
    // Empty for null. With `free`, a non-null pointer goes back to the host's freeMemory.
    static std::string GetString(const char* pointer, bool free);
    static std::string MarshalNativeUtf8ToManagedString(const char* pointer);
    // A NUL-terminated copy of the UTF-8 bytes of `text`.
    static Utf8Buffer AllocConvertManagedStringToNativeUtf8(std::string_view text);

    // --- id lists ---
    // Reads a zero-terminated list from the host, terminator excluded, turning each id into
    // `make(id)`. Null gives an empty list. With `free` the list goes back to the host, also
    // when `make` throws.
    template <typename Make> static auto GetUshortArray(anyID* pointer, Make make, bool free);
    template <typename Make> static auto GetUlongArray(uint64* pointer, Make make, bool free);
    // Writes the values one after another, without a terminator; nothing for null.
    static void WriteShortArray(short* pointer, std::span<const short> values);

    // --- menu records ---
    // A new record from std::malloc, for the host to return through the plugin's freeMemory.
    // Text and icon are cut to at most 127 bytes, never inside a UTF-8 character.
    static PluginMenuItem* CreateMenuItem(PluginMenuType type, int id, std::string_view text,
                                          std::string_view icon);

private:
    static void FreeMemory(void* pointer);
    template <typename Id, typename Make>
    static auto GetZeroTerminatedArray(Id* pointer, Make& make, bool free);

    static inline TS3Functions _functions{};
};

template <typename Id, typename Make> auto Base::GetZeroTerminatedArray(Id* pointer, Make& make, bool free) {
    std::vector<std::invoke_result_t<Make&, Id>> items;
    if (pointer == nullptr) {
        return items;
    }
    struct Release {
        Id* List;
        bool Free;
        ~Release() {
            if (Free) {
                FreeMemory(List);
            }
        }
    } release{pointer, free};
    for (const Id* id = pointer; *id != 0; ++id) {
        items.push_back(make(*id));
    }
    return items;
}

template <typename Make> auto Base::GetUshortArray(anyID* pointer, Make make, bool free) {
    return GetZeroTerminatedArray(pointer, make, free);
}

template <typename Make> auto Base::GetUlongArray(uint64* pointer, Make make, bool free) {
    return GetZeroTerminatedArray(pointer, make, free);
}

} // namespace TeamSpeak
