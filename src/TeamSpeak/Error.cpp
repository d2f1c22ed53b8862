#include "TeamSpeak/Error.h"

#include <algorithm>
#include <iterator>

namespace TeamSpeak {

std::optional<std::string_view> KnownErrorName(Error code) {
    auto found = std::lower_bound(std::begin(ErrorNames), std::end(ErrorNames), code,
                                  [](const ErrorName& entry, Error value) { return entry.Code < value; });
    if (found == std::end(ErrorNames) || found->Code != code) {
        return std::nullopt;
    }
    return found->Name;
}

std::string ToString(Error code) {
    if (auto name = KnownErrorName(code)) {
        return std::string(*name);
    }
    return std::to_string(ToCode(code));
}

} // namespace TeamSpeak
