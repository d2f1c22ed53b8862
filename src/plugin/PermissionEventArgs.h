#pragma once
// What the permission callback lists of TeamSpeakCallback hand to their subscribers.

#include "TeamSpeak/Error.h"

#include <cstdint>
#include <optional>
#include <string>

namespace Tralvonic {

// One entry of a permission overview the host delivered.
struct PermissionOverviewEventArgs {
    std::uint32_t PermissionId = 0;
    std::int32_t PermissionValue = 0;
};

// A request the server refused for lack of a permission. The texts are absent when the
// host passed none.
struct PermissionErrorEventArgs {
    std::uint64_t ServerConnectionHandlerId = 0;
    std::optional<std::string> ErrorMessage;
    TeamSpeak::Error Error = TeamSpeak::Error::Ok;
    std::optional<std::string> ReturnCode;
    std::uint32_t FailedPermissionId = 0;
};

} // namespace Tralvonic
