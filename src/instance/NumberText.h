#pragma once
// Numbers in log lines: the shortest text that reads back as the same float ("4.5", "9",
// "13.333333"), independent of the C locale.

#include <charconv>
#include <string>

namespace Tralvonic {

inline std::string FloatText(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

} // namespace Tralvonic
