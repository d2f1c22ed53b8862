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
    // One draw decides for the whole group: a crackle is a burst of a third of a millisecond,
    // which the band-pass lets through as a crack rather than smoothing it into the hiss.
    const float crackle = chance[0] < level.CrackleChance ? level.CracklePeak : 0.0f;
    noise = (none + (level.Hiss + crackle)) * noise;
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

float Shaped(float white, float groupChance, const LineNoise::Level& level) noexcept {
    const float crackle = groupChance < level.CrackleChance ? level.CracklePeak : 0.0f;
    return (level.Hiss + crackle) * white;
}

} // namespace

LineNoise::LineNoise(std::uint32_t seed) noexcept : _state{} {
    // Each generator starts from a hash of the seed and its place (the finaliser of
    // MurmurHash3), far from the others on the one cycle xorshift runs through: generators
    // started a few steps apart would repeat each other's numbers a few frames later, which
    // is heard as tones in the hiss. None may be 0, where xorshift stays.
    for (std::size_t i = 0; i < _state.size(); ++i) {
        std::uint32_t state = seed + 0x9E3779B9u * static_cast<std::uint32_t>(i + 1);
        state ^= state >> 16;
        state *= 0x85EBCA6Bu;
        state ^= state >> 13;
        state *= 0xC2B2AE35u;
        state ^= state >> 16;
        _state[i] = state != 0 ? state : 1u;
    }
}

void LineNoise::Fill(float* noise, std::int32_t frames, const Level& level) noexcept {
    std::int32_t done = 0;
    for (; done < frames && _nextPending < GroupFrames; ++done, ++_nextPending) {
        const auto i = static_cast<std::size_t>(_nextPending);
        noise[done] = Shaped(_pending.White[i], _pending.Chance[0], level);
    }
    const std::int32_t groups = (frames - done) / GroupFrames;
    FillGroups(_state, noise + done, groups, level);
    done += groups * GroupFrames;
    if (done < frames) {
        NextGroup(_state, _pending);
        for (_nextPending = 0; done < frames; ++done, ++_nextPending) {
            const auto i = static_cast<std::size_t>(_nextPending);
            noise[done] = Shaped(_pending.White[i], _pending.Chance[0], level);
        }
    }
}

} // namespace Tralvonic::Voice
