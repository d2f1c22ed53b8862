#pragma once
// Names of the host's error codes for log lines: the SDK constant's PascalCase name, or the
// decimal number for a code the SDK does not list.

#include "TeamSpeak/sdk/ErrorCodes.h"

#include <optional>
#include <string>
#include <string_view>

namespace TeamSpeak {

// The SDK's name of `code`, when it has one.
std::optional<std::string_view> KnownErrorName(Error code);

// The name, or the code in decimal when it has none.
std::string ToString(Error code);

constexpr unsigned int ToCode(Error code) {
    return static_cast<unsigned int>(code);
}

} // namespace TeamSpeak
