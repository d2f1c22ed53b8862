#pragma once
// Parameter of RadioTowerUpdate: every radio tower in the game, replacing the previous list.

#include "Model/Json.h"
#include "TeamSpeak/TSVector.h"

#include <optional>
#include <vector>

namespace Tralvonic::Model {

struct Tower {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
    float Range = 8000.0f;

    TeamSpeak::TSVector Position() const noexcept { return {X, Y, Z}; }

    bool operator==(const Tower&) const = default;
};
BOOST_DESCRIBE_STRUCT(Tower, (), (X, Y, Z, Range))

struct RadioTower {
    // Absent when the game sent no list (or null); the handler reads that as no towers and
    // says so in the log.
    std::optional<std::vector<Tower>> Towers;

    bool operator==(const RadioTower&) const = default;
};
BOOST_DESCRIBE_STRUCT(RadioTower, (), (Towers))

} // namespace Tralvonic::Model
