#pragma once
// The kernels built twice, for x86-64-v3 (AVX2, FMA) and for the x86-64 baseline, with the
// first call asking the processor which of the two it runs. This is what target_clones does
// through an ifunc, written out because PE has no ifunc: one way on Windows and Linux, so the
// code the tests and the benchmarks measure here is the code Windows users run.
//
// A kernel is an always-inline function; Dispatch<Kernel>(arguments...) inlines it into a
// function of each target and calls the one that fits.

#include <utility>

namespace Tralvonic::Voice {

// Whether the processor runs x86-64-v3 code; false in a build of the baseline kernels alone.
bool RunsX8664V3() noexcept;

namespace Detail {

template <auto Kernel, class... Arguments>
[[gnu::target("arch=x86-64-v3")]] void RunForX8664V3(Arguments&&... arguments) noexcept {
    Kernel(std::forward<Arguments>(arguments)...);
}

template <auto Kernel, class... Arguments> void RunForBaseline(Arguments&&... arguments) noexcept {
    Kernel(std::forward<Arguments>(arguments)...);
}

} // namespace Detail

template <auto Kernel, class... Arguments> void Dispatch(Arguments&&... arguments) noexcept {
    if (RunsX8664V3()) {
        Detail::RunForX8664V3<Kernel>(std::forward<Arguments>(arguments)...);
    } else {
        Detail::RunForBaseline<Kernel>(std::forward<Arguments>(arguments)...);
    }
}

} // namespace Tralvonic::Voice
