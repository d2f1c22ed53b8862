// Per-thread objects: one per thread, destroyed whole when the thread ends (which MinGW's
// thread_local destructors are not) or with their owner while the thread still runs.

#include "core/PerThread.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace Tralvonic::Test {
namespace {

constexpr unsigned Pattern = 0x5EED5EEDu;

std::atomic<int> destroyedWhole{0};
std::atomic<int> destroyedDamaged{0};

// Checks at its end that its memory still holds what it wrote: storage freed or reused before
// the destructor runs shows as changed words.
struct Probe {
    Probe() { Words.fill(Pattern); }
    ~Probe() {
        const bool isWhole =
            std::all_of(Words.begin(), Words.end(), [](unsigned word) { return word == Pattern; });
        ++(isWhole ? destroyedWhole : destroyedDamaged);
    }
    std::array<unsigned, 32> Words{};
    std::vector<int> Buffer = std::vector<int>(256, 7);
};

class PerThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        destroyedWhole = 0;
        destroyedDamaged = 0;
    }
};

TEST_F(PerThreadTest, EachThreadHasItsOwnObjectDestroyedWholeWhenTheThreadEnds) {
    PerThread<Probe> probes;
    Probe* mainsProbe = &probes.Get();
    EXPECT_EQ(&probes.Get(), mainsProbe);

    std::vector<Probe*> seen(8, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t index = 0; index < seen.size(); ++index) {
        threads.emplace_back([&, index] {
            Probe& probe = probes.Get();
            EXPECT_EQ(&probes.Get(), &probe);
            probe.Buffer.resize(4096, 1);
            seen[index] = &probe;
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }

    EXPECT_EQ(destroyedWhole, 8);
    EXPECT_EQ(destroyedDamaged, 0);
    for (Probe* probe : seen) {
        EXPECT_NE(probe, mainsProbe);
    }
    EXPECT_EQ(probes.Get().Words.front(), Pattern);
}

TEST_F(PerThreadTest, ObjectsOfThreadsStillRunningGoWithTheirOwner) {
    auto probes = std::make_unique<PerThread<Probe>>();
    std::mutex mutex;
    std::condition_variable changed;
    bool made = false;
    bool mayEnd = false;
    std::thread running([&] {
        probes->Get();
        std::unique_lock lock(mutex);
        made = true;
        changed.notify_all();
        changed.wait(lock, [&] { return mayEnd; });
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return made; });
    }
    probes->Get();

    probes.reset();
    EXPECT_EQ(destroyedWhole, 2);

    // The thread's end finds nothing left to destroy.
    {
        std::lock_guard lock(mutex);
        mayEnd = true;
    }
    changed.notify_all();
    running.join();
    EXPECT_EQ(destroyedWhole, 2);
    EXPECT_EQ(destroyedDamaged, 0);
}

} // namespace
} // namespace Tralvonic::Test
