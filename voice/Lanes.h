#pragma once
// Four floats worked on at once, one channel of a frame in each lane. Written with the
// compiler's vector types rather than intrinsics, so that the same kernel source compiles to
// plain SSE2 for every x86-64 and, in a second clone, to AVX2 with fused multiply-adds.

#include <xmmintrin.h>

#include <cstdint>

namespace Tralvonic::Voice {

using Lanes = float __attribute__((vector_size(16)));
using LaneMask = std::int32_t __attribute__((vector_size(16)));

constexpr std::int32_t LaneCount = 4;

[[gnu::always_inline]] inline Lanes Splat(float value) noexcept {
    return Lanes{value, value, value, value};
}

// minps and maxps, which the compiler does not pick for the comparisons by itself.
[[gnu::always_inline]] inline Lanes Min(Lanes a, Lanes b) noexcept {
    return reinterpret_cast<Lanes>(_mm_min_ps(reinterpret_cast<__m128>(a), reinterpret_cast<__m128>(b)));
}

[[gnu::always_inline]] inline Lanes Max(Lanes a, Lanes b) noexcept {
    return reinterpret_cast<Lanes>(_mm_max_ps(reinterpret_cast<__m128>(a), reinterpret_cast<__m128>(b)));
}

[[gnu::always_inline]] inline Lanes Clamp(Lanes value, Lanes low, Lanes high) noexcept {
    return Min(Max(value, low), high);
}

} // namespace Tralvonic::Voice
