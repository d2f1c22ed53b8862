#pragma once
// The C entry points of the host function table. Each entry pins the active client, records
// the call with its arguments, runs the simulation's implementation (or answers
// NotImplemented for a function the simulation leaves open) and records the result.
// Nothing thrown inside escapes into the plugin: it becomes the code Undefined.

#include "ActiveClient.h"
#include "ArgumentText.h"
#include "CallRecord.h"
#include "HostSlots.h"
#include "SimulatedClient.h"

#include "TeamSpeak/sdk/ErrorCodes.h"

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

namespace Tralvonic::Sim {

// `Implementation` takes the active client followed by the slot's own parameters; without
// one (nullptr) the entry answers NotImplemented.
template <auto Member, auto Implementation = nullptr> struct Entry;

template <typename R, typename... Args, R (*TeamSpeak::TS3Functions::*Member)(Args...), auto Implementation>
struct Entry<Member, Implementation> {
    static constexpr bool Implemented = !std::is_null_pointer_v<decltype(Implementation)>;

    static R Call(Args... args) noexcept {
        ActiveClient::Call active;
        SimulatedClient* client = active.Client();
        if (client == nullptr) {
            return Failure(TeamSpeak::Error::Undefined);
        }
        try {
            CallRecord& record = client->Record();
            const auto sequence = record.Begin(SlotName<Member>(), {ArgumentText(args, Implemented)...});
            if constexpr (!std::is_void_v<R>) {
                if (auto fault = client->TakeInjectedFault(SlotName<Member>())) {
                    record.Complete(sequence, *fault);
                    return static_cast<R>(*fault);
                }
            }
            if constexpr (std::is_void_v<R>) {
                if constexpr (Implemented) {
                    Implementation(*client, args...);
                }
                record.Complete(sequence, std::nullopt);
            } else {
                R result = Failure(TeamSpeak::Error::NotImplemented);
                if constexpr (Implemented) {
                    result = Implementation(*client, args...);
                }
                record.Complete(sequence, static_cast<std::uint64_t>(result));
                return result;
            }
        } catch (...) {
            return Failure(TeamSpeak::Error::Undefined);
        }
        if constexpr (!std::is_void_v<R>) {
            return Failure(TeamSpeak::Error::Undefined);
        }
    }

private:
    // The two functions that answer a number instead of a code answer 0 for "none".
    static R Failure(TeamSpeak::Error code) {
        if constexpr (std::is_same_v<R, TeamSpeak::uint64>) {
            return 0;
        } else if constexpr (!std::is_void_v<R>) {
            return static_cast<R>(code);
        }
    }
};

// Points a slot at the simulation's implementation.
template <auto Member, auto Implementation> void Install(TeamSpeak::TS3Functions& table) {
    table.*Member = &Entry<Member, Implementation>::Call;
}

} // namespace Tralvonic::Sim
