#pragma once
// How the arguments of a host call appear in the call record: numbers in decimal, texts as
// they are, zero-terminated id lists as "[5, 7, 0]" (terminator included, so a test sees
// exactly what the plugin passed), vectors as "(x, y, z)", out-parameters as "<out>".

#include "TeamSpeak/sdk/HostTypes.h"

#include <string>
#include <type_traits>

namespace Tralvonic::Sim {

inline constexpr const char* NullText = "<null>";
inline constexpr const char* OutText = "<out>";
inline constexpr const char* PointerText = "<pointer>";

std::string ListText(const TeamSpeak::anyID* list);
std::string ListText(const TeamSpeak::uint64* list);
std::string VectorText(const TeamSpeak::TS3_VECTOR* vector);
std::string AddressText(const void* pointer);
std::string NumberText(float value);
std::string NumberText(double value);

// `readLists` is false for the functions the simulation does not implement: their list
// arguments are not all zero-terminated, so they are not read.
template <typename T> std::string ArgumentText(T value, bool readLists) {
    using namespace TeamSpeak;
    if constexpr (std::is_same_v<T, const char*>) {
        return value != nullptr ? std::string(value) : std::string(NullText);
    } else if constexpr (std::is_same_v<T, const anyID*> || std::is_same_v<T, const uint64*>) {
        return readLists ? ListText(value) : (value != nullptr ? PointerText : NullText);
    } else if constexpr (std::is_same_v<T, const TS3_VECTOR*>) {
        return VectorText(value);
    } else if constexpr (std::is_same_v<T, void*>) {
        return AddressText(value);
    } else if constexpr (std::is_pointer_v<T>) {
        if (value == nullptr) {
            return NullText;
        }
        return std::is_const_v<std::remove_pointer_t<T>> ? PointerText : OutText;
    } else if constexpr (std::is_enum_v<T>) {
        return std::to_string(static_cast<std::underlying_type_t<T>>(value));
    } else if constexpr (std::is_floating_point_v<T>) {
        return NumberText(value);
    } else {
        return std::to_string(value);
    }
}

} // namespace Tralvonic::Sim
