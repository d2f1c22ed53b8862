#include "ArgumentText.h"

#include <charconv>
#include <cstdio>

namespace Tralvonic::Sim {

namespace {

// A list without its terminator within this many entries is shown cut off rather than
// read past what any real request could hold.
constexpr std::size_t MaxListEntries = 4096;

template <typename T> std::string ZeroTerminatedText(const T* list) {
    if (list == nullptr) {
        return NullText;
    }
    std::string text = "[";
    for (std::size_t i = 0; i < MaxListEntries; ++i) {
        if (i > 0) {
            text += ", ";
        }
        text += std::to_string(list[i]);
        if (list[i] == 0) {
            return text + "]";
        }
    }
    return text + ", ...]";
}

// Shortest round-trip form, so 0.1f reads "0.1" and not its widened double.
template <typename T> std::string ShortestText(T value) {
    char buffer[32];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc{}) {
        return "?";
    }
    return std::string(buffer, end);
}

} // namespace

std::string ListText(const TeamSpeak::anyID* list) {
    return ZeroTerminatedText(list);
}

std::string ListText(const TeamSpeak::uint64* list) {
    return ZeroTerminatedText(list);
}

std::string VectorText(const TeamSpeak::TS3_VECTOR* vector) {
    if (vector == nullptr) {
        return NullText;
    }
    return "(" + NumberText(vector->x) + ", " + NumberText(vector->y) + ", " + NumberText(vector->z) + ")";
}

std::string AddressText(const void* pointer) {
    if (pointer == nullptr) {
        return NullText;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%p", pointer);
    return buffer;
}

std::string NumberText(float value) {
    return ShortestText(value);
}

std::string NumberText(double value) {
    return ShortestText(value);
}

} // namespace Tralvonic::Sim
