#pragma once
// Lets a group of threads start at one moment, so that their first calls meet. Not std::latch:
// MinGW's GCC 12 builds it on a waiter pool over a condition variable that can miss a
// wake-up, and four test threads stayed at such a latch for good under Wine.

#include <atomic>
#include <thread>

namespace Tralvonic::Testing {

class StartingGate {
public:
    explicit StartingGate(int threads) : _missing(threads) {}

    void ArriveAndWait() {
        _missing.fetch_sub(1);
        while (_missing.load() > 0) {
            std::this_thread::yield();
        }
    }

private:
    std::atomic<int> _missing;
};

} // namespace Tralvonic::Testing
