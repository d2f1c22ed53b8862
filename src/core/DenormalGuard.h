#pragma once
// Flushes denormal floats to zero for the lifetime of the guard and restores the thread's
// previous mode afterwards. The host's audio thread runs its own code between our callbacks,
// so the mode is set per callback rather than once per thread.

#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#endif

namespace Tralvonic {

class DenormalGuard {
public:
#if defined(__SSE__) || defined(_M_X64)
    DenormalGuard() noexcept : _previous(_mm_getcsr()) {
        _mm_setcsr(_previous | FlushToZero | DenormalsAreZero);
    }
    ~DenormalGuard() {
        _mm_setcsr(_previous);
    }
#else
    DenormalGuard() noexcept = default;
#endif
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
#if defined(__SSE__) || defined(_M_X64)
    static constexpr unsigned int FlushToZero = 0x8000;
    static constexpr unsigned int DenormalsAreZero = 0x0040;
    unsigned int _previous;
#endif
};

} // namespace Tralvonic
