#pragma once
// Flush-to-zero and denormals-are-zero for the length of one block, and the caller's setting
// back afterwards. A filter ringing out into silence otherwise computes on denormal numbers,
// which cost x86 cores a hundred times the normal time; the flag is set here rather than
// through -ffast-math, which would set it once for the whole host process.

#include <xmmintrin.h>

namespace Tralvonic::Voice {

class DenormalGuard {
public:
    DenormalGuard() noexcept : _saved(_mm_getcsr()) { _mm_setcsr(_saved | FlushToZero | DenormalsAreZero); }
    ~DenormalGuard() { _mm_setcsr(_saved); }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
    static constexpr unsigned FlushToZero = 0x8000u;
    static constexpr unsigned DenormalsAreZero = 0x0040u;

    unsigned _saved;
};

} // namespace Tralvonic::Voice
