#include "LineNoise.h"

#include <cstddef>
#include <cstring>

namespace Tralvonic::Voice {

namespace {

using States = std::array<std::uint32_t, LineNoise::GroupFrames>;
// A group's worth of generators or values, worked on at once.
using GroupBits = std::uint32_t __attribute__((vector_size(64)));
using GroupSigned = std::int32_t __attribute__((vector_size(64)));
using GroupFloats = float __attribute__((vector_size(64)));

std::uint32_t Advance(std::uint32_t state) noexcept {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

[[gnu::always_inline]] inline void AdvanceAll(GroupBits& state) noexcept {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
}

[[gnu::always_inline]] inline void Generate(GroupBits& states, GroupFloats& white,
                                            GroupFloats& chance) noexcept {
    AdvanceAll(states);
    const GroupBits whiteBits = states;
    AdvanceAll(states);
    white = __builtin_convertvector(reinterpret_cast<GroupSigned>(whiteBits), GroupFloats) *
            (1.0f / 2147483648.0f);
    chance = __builtin_convertvector(reinterpret_cast<GroupSigned>(states >> 8), GroupFloats) *
             (1.0f / 16777216.0f);
}

// A crackle is a louder burst of the same noise; chosen without a branch, as it is rare.
[[gnu::always_inline]] inline void Shape(GroupFloats& noise, const GroupFloats& chance,
                                         const LineNoise::Level& level) noexcept {
    const GroupFloats none{};
    const GroupFloats crackle = chance < level.CrackleChance ? none + level.CracklePeak : none;
    noise = (level.Hiss + crackle) * noise;
}

[[gnu::target_clones("arch=x86-64-v3", "default")]] void
FillGroups(States& generators, float* noise, std::int32_t groups, LineNoise::Level level) noexcept {
    GroupBits states;
    std::memcpy(&states, generators.data(), sizeof states);
    for (std::int32_t g = 0; g < groups; ++g) {
        GroupFloats white;
        GroupFloats chance;
        Generate(states, white, chance);
        Shape(white, chance, level);
        std::memcpy(noise + static_cast<std::ptrdiff_t>(g) * LineNoise::GroupFrames, &white, sizeof white);
    }
    std::memcpy(generators.data(), &states, sizeof states);
}

[[gnu::target_clones("arch=x86-64-v3", "default")]] void NextGroup(States& generators,
                                                                   LineNoise::Group& group) noexcept {
    GroupBits states;
    std::memcpy(&states, generators.data(), sizeof states);
    GroupFloats white;
    GroupFloats chance;
    Generate(states, white, chance);
    std::memcpy(generators.data(), &states, sizeof states);
    std::memcpy(group.White.data(), &white, sizeof white);
    std::memcpy(group.Chance.data(), &chance, sizeof chance);
}

float Shaped(float white, float chance, const LineNoise::Level& level) noexcept {
    const float crackle = chance < level.CrackleChance ? level.CracklePeak : 0.0f;
    return (level.Hiss + crackle) * white;
}

} // namespace

LineNoise::LineNoise(std::uint32_t seed) noexcept : _state{} {
    // Each generator starts from its own state; none may be 0, where xorshift stays.
    std::uint32_t state = seed != 0 ? seed : 1u;
    for (std::uint32_t& generator : _state) {
        state = Advance(state);
        generator = state;
    }
}

void LineNoise::Fill(float* noise, std::int32_t frames, const Level& level) noexcept {
    std::int32_t done = 0;
    for (; done < frames && _nextPending < GroupFrames; ++done, ++_nextPending) {
        const auto i = static_cast<std::size_t>(_nextPending);
        noise[done] = Shaped(_pending.White[i], _pending.Chance[i], level);
    }
    const std::int32_t groups = (frames - done) / GroupFrames;
    FillGroups(_state, noise + done, groups, level);
    done += groups * GroupFrames;
    if (done < frames) {
        NextGroup(_state, _pending);
        for (_nextPending = 0; done < frames; ++done, ++_nextPending) {
            const auto i = static_cast<std::size_t>(_nextPending);
            noise[done] = Shaped(_pending.White[i], _pending.Chance[i], level);
        }
    }
}

} // namespace Tralvonic::Voice
