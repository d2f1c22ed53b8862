#pragma once
// The slots of the host function table by name, so that recorded calls carry the SDK's
// function names, and the default entries that fill every slot the simulation leaves open.

#include "TeamSpeak/sdk/HostFunctions.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace Tralvonic::Sim {

// The SDK's member names in slot order (HostSlots.cpp is generated from the fact tables).
extern const std::array<std::string_view, TeamSpeak::TS3FunctionsSlotCount> SlotNames;

// Points every slot at an entry that records the call and answers NotImplemented
// (or nothing, for the functions without a result).
void InstallUnsupported(TeamSpeak::TS3Functions& table);

// The slot index of a member of the table, from its offset.
template <auto Member> std::size_t SlotIndexOf() {
    static const std::size_t index = [] {
        static const TeamSpeak::TS3Functions probe{};
        const auto* base = reinterpret_cast<const char*>(&probe);
        const auto* slot = reinterpret_cast<const char*>(&(probe.*Member));
        return static_cast<std::size_t>(slot - base) / sizeof(void*);
    }();
    return index;
}

template <auto Member> std::string_view SlotName() {
    return SlotNames[SlotIndexOf<Member>()];
}

} // namespace Tralvonic::Sim
