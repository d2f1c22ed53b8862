#pragma once
// How many threads the test process runs now: the entries of /proc/self/task on Linux
// (ThreadCountPosix.cpp), a snapshot of the process's threads on Windows (ThreadCountWin32.cpp).

#include <cstddef>

namespace Tralvonic::Testing {

std::size_t ThreadCount();

} // namespace Tralvonic::Testing
