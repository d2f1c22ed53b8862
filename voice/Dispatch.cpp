#include "Dispatch.h"

namespace Tralvonic::Voice {

bool RunsX8664V3() noexcept {
#ifdef TRALVONIC_VOICE_BASELINE_ONLY
    return false;
#else
    // The model libgcc fills at load time, asked once; the initialisation is repeated here
    // because a call from another library's constructor may come before libgcc's own.
    static const bool runs = [] {
        __builtin_cpu_init();
#if defined(__clang__) && __clang_major__ < 17
        // Older Clang knows no level names and not every feature of the level; no processor
        // has AVX2, FMA and BMI2 without the rest of x86-64-v3 (F16C, MOVBE, LZCNT).
        return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma") &&
               __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2") &&
               __builtin_cpu_supports("popcnt") && __builtin_cpu_supports("sse4.2");
#else
        return __builtin_cpu_supports("x86-64-v3") != 0;
#endif
    }();
    return runs;
#endif
}

} // namespace Tralvonic::Voice
