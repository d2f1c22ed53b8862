#pragma once
// The noise of a degraded line, one value per frame, the same in every channel: hiss (white
// noise) with rare louder crackles. Sixteen 32-bit xorshift generators (Marsaglia, shifts 13,
// 17, 5), one for each frame of a group of sixteen, so that a group is made in one pass of
// vector operations, and a seventeenth that decides for each group whether it crackles. A
// group's frames not yet used wait for the next call, so the noise does not depend on how a
// block is split. No allocation, no lock, and the same sequence from the same seed, so an
// effect's noise is reproducible.

#include <array>
#include <cstdint>

namespace Tralvonic::Voice {

class LineNoise {
public:
    static constexpr std::int32_t GroupFrames = 16;

    // Levels of the noise: the hiss's peak, the chance per group of a crackle and its peak.
    struct Level {
        float Hiss = 0.0f;
        float CrackleChance = 0.0f;
        float CracklePeak = 0.0f;
    };

    explicit LineNoise(std::uint32_t seed) noexcept;

    // Writes the next `frames` frames of noise.
    void Fill(float* noise, std::int32_t frames, const Level& level) noexcept;

    // One raw group: white noise in -1..1 and a uniform in 0..1 that decides whether the group
    // crackles.
    struct Group {
        std::array<float, GroupFrames> White;
        float Chance;
    };

private:
    std::array<std::uint32_t, GroupFrames> _state;
    std::uint32_t _chance;
    Group _pending{};
    std::int32_t _nextPending = GroupFrames;
};

} // namespace Tralvonic::Voice
