#pragma once
// Text questions asked of the game's and the settings' text all over the plugin, answered
// the same way everywhere and without the C locale: white space is ASCII white space, letter
// case is ASCII letter case.

#include <algorithm>
#include <string_view>

namespace Tralvonic {

constexpr bool IsAsciiSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Empty or only white space.
inline bool IsBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsAsciiSpace);
}

inline bool EqualsIgnoringCase(std::string_view left, std::string_view right) {
    constexpr auto lower = [](char c) {
        return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return left.size() == right.size() && std::equal(left.begin(), left.end(), right.begin(),
                                                     [&](char a, char b) { return lower(a) == lower(b); });
}

} // namespace Tralvonic
