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
        return __builtin_cpu_supports("x86-64-v3") != 0;
    }();
    return runs;
#endif
}

} // namespace Tralvonic::Voice
