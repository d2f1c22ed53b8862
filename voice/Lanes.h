#pragma once
// Four floats worked on at once. Written with the compiler's vector types rather than
// intrinsics where it can, so that the same kernel source compiles to plain SSE2 for every
// x86-64 and, in a second clone, to AVX2 with fused multiply-adds.

#include <xmmintrin.h>

#include <cstdint>

namespace Tralvonic::Voice {

using Lanes = float __attribute__((vector_size(16)));

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

// Lanes 0 and 1 of `low` with lanes 2 and 3 of `high`.
[[gnu::always_inline]] inline Lanes Join(Lanes low, Lanes high) noexcept {
    return __builtin_shufflevector(low, high, 0, 1, 6, 7);
}

// Two floats (one frame of a channel pair) into lanes 0 and 1, the other lanes 0.
[[gnu::always_inline]] inline Lanes LoadLow(const float* pair) noexcept {
    return reinterpret_cast<Lanes>(_mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(pair)));
}

// `low` with two floats put into lanes 2 and 3.
[[gnu::always_inline]] inline Lanes LoadHigh(Lanes low, const float* pair) noexcept {
    return reinterpret_cast<Lanes>(
        _mm_loadh_pi(reinterpret_cast<__m128>(low), reinterpret_cast<const __m64*>(pair)));
}

[[gnu::always_inline]] inline void StoreLow(float* pair, Lanes value) noexcept {
    _mm_storel_pi(reinterpret_cast<__m64*>(pair), reinterpret_cast<__m128>(value));
}

[[gnu::always_inline]] inline void StoreHigh(float* pair, Lanes value) noexcept {
    _mm_storeh_pi(reinterpret_cast<__m64*>(pair), reinterpret_cast<__m128>(value));
}

} // namespace Tralvonic::Voice
