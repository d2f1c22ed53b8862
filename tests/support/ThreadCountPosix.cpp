#include "support/ThreadCount.h"

#include <filesystem>

namespace Tralvonic::Testing {

std::size_t ThreadCount() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task")) {
        ++count;
    }
    return count;
}

} // namespace Tralvonic::Testing
