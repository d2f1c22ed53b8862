#include "LineNoise.h"

#include "Dispatch.h"

#include <cstddef>
#include <cstring>

namespace Tralvonic::Voice {

namespace {

using States = std::array<std::uint32_t, LineNoise::GroupFrames>;
// Half a group's generators or values, worked on at once; two halves are two chains of
// operations that run side by side.
constexpr std::size_t HalfFrames = LineNoise::GroupFrames / 2;
using HalfBits = std::uint32_t __attribute__((vector_size(32)));
using HalfSigned = std::int32_t __attribute__((vector_size(32)));
using HalfFloats = float __attribute__((vector_size(32)));

struct Halves {
    HalfBits First;
    HalfBits Second;
};

[[gnu::always_inline]] inline void AdvanceAll(HalfBits& state) noexcept {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
}

[[gnu::always_inline]] inline void Generate(HalfBits& states, HalfFloats& white) noexcept {
    AdvanceAll(states);
    white =
        __builtin_convertvector(reinterpret_cast<HalfSigned>(states), HalfFloats) * (1.0f / 2147483648.0f);
}

// The draw that decides whether a group crackles, uniform in 0..1, from a generator of its
// own: the white noise's generators then move one step a group, not two.
[[gnu::always_inline]] inline float NextChance(std::uint32_t& state) noexcept {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<float>(state >> 8) * (1.0f / 16777216.0f);
}

// One draw decides for the whole group: a crackle is a burst of a third of a millisecond,
// which the band-pass lets through as a crack rather than smoothing it into the hiss. Chosen
// without a branch, as it is rare.
[[gnu::always_inline]] inline float Scale(float groupChance, const LineNoise::Level& level) noexcept {
    return level.Hiss + (groupChance < level.CrackleChance ? level.CracklePeak : 0.0f);
}

[[gnu::always_inline]] inline Halves Load(const States& generators) noexcept {
    Halves halves;
    std::memcpy(&halves.First, generators.data(), sizeof halves.First);
    std::memcpy(&halves.Second, generators.data() + HalfFrames, sizeof halves.Second);
    return halves;
}

[[gnu::always_inline]] inline void Save(const Halves& halves, States& generators) noexcept {
    std::memcpy(generators.data(), &halves.First, sizeof halves.First);
    std::memcpy(generators.data() + HalfFrames, &halves.Second, sizeof halves.Second);
}

[[gnu::always_inline]] inline void FillGroups(States& generators, std::uint32_t& chance, float* noise,
                                              std::int32_t groups, LineNoise::Level level) noexcept {
    Halves states = Load(generators);
    for (std::int32_t g = 0; g < groups; ++g) {
        HalfFloats first, second;
        Generate(states.First, first);
        Generate(states.Second, second);
        const float scale = Scale(NextChance(chance), level);
        first *= scale;
        second *= scale;
        float* group = noise + static_cast<std::ptrdiff_t>(g) * LineNoise::GroupFrames;
        std::memcpy(group, &first, sizeof first);
        std::memcpy(group + HalfFrames, &second, sizeof second);
    }
    Save(states, generators);
}

[[gnu::always_inline]] inline void NextGroup(States& generators, std::uint32_t& chance,
                                             LineNoise::Group& group) noexcept {
    Halves states = Load(generators);
    HalfFloats first, second;
    Generate(states.First, first);
    Generate(states.Second, second);
    Save(states, generators);
    std::memcpy(group.White.data(), &first, sizeof first);
    std::memcpy(group.White.data() + HalfFrames, &second, sizeof second);
    group.Chance = NextChance(chance);
}

float Shaped(float white, float chance, const LineNoise::Level& level) noexcept {
    return Scale(chance, level) * white;
}

// Each generator starts from a hash of the seed and its place (the finaliser of MurmurHash3),
// far from the others on the one cycle xorshift runs through: generators started a few steps
// apart would repeat each other's numbers a few frames later, which is heard as tones in the
// hiss. None may be 0, where xorshift stays.
std::uint32_t Start(std::uint32_t seed, std::uint32_t place) noexcept {
    std::uint32_t state = seed + 0x9E3779B9u * (place + 1u);
    state ^= state >> 16;
    state *= 0x85EBCA6Bu;
    state ^= state >> 13;
    state *= 0xC2B2AE35u;
    state ^= state >> 16;
    return state != 0 ? state : 1u;
}

} // namespace

LineNoise::LineNoise(std::uint32_t seed) noexcept
    : _state{}, _chance(Start(seed, static_cast<std::uint32_t>(GroupFrames))) {
    for (std::size_t i = 0; i < _state.size(); ++i) {
        _state[i] = Start(seed, static_cast<std::uint32_t>(i));
    }
}

void LineNoise::Fill(float* noise, std::int32_t frames, const Level& level) noexcept {
    std::int32_t done = 0;
    for (; done < frames && _nextPending < GroupFrames; ++done, ++_nextPending) {
        const auto i = static_cast<std::size_t>(_nextPending);
        noise[done] = Shaped(_pending.White[i], _pending.Chance, level);
    }
    const std::int32_t groups = (frames - done) / GroupFrames;
    Dispatch<FillGroups>(_state, _chance, noise + done, groups, level);
    done += groups * GroupFrames;
    if (done < frames) {
        Dispatch<NextGroup>(_state, _chance, _pending);
        for (_nextPending = 0; done < frames; ++done, ++_nextPending) {
            const auto i = static_cast<std::size_t>(_nextPending);
            noise[done] = Shaped(_pending.White[i], _pending.Chance, level);
        }
    }
}

} // namespace Tralvonic::Voice
