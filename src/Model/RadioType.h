#pragma once
// The kind of a radio as a set of flags. The game sends combinations (Distributed | LongRange),
// so values that name no single member are normal.

#include <boost/describe/enum.hpp>

#include <cstdint>

namespace Tralvonic::Model {

enum class RadioType : std::int32_t {
    // Switched off: an update carrying it ends the transmission.
    None = 1,
    ShortRange = 2,
    LongRange = 4,
    // Reaches through radio towers.
    Distributed = 8,
    UltraShortRange = 16,
};
BOOST_DESCRIBE_ENUM(RadioType, None, ShortRange, LongRange, Distributed, UltraShortRange)

constexpr RadioType operator|(RadioType left, RadioType right) noexcept {
    return static_cast<RadioType>(static_cast<std::int32_t>(left) | static_cast<std::int32_t>(right));
}

// True when every bit of flag is set in type.
constexpr bool HasFlag(RadioType type, RadioType flag) noexcept {
    const auto bits = static_cast<std::int32_t>(flag);
    return (static_cast<std::int32_t>(type) & bits) == bits;
}

} // namespace Tralvonic::Model
