#pragma once
// Counts the calls of the global operator new in the whole process, the voice-effect library
// included: the benchmark binary exports its replacement, so the library's calls bind to it.

#include <cstdint>

namespace Tralvonic::VoiceBench {

std::uint64_t AllocationCount() noexcept;

} // namespace Tralvonic::VoiceBench
