// The voice library's registry lock: audio threads share it, a game-command thread that links
// or unlinks a player holds it alone. A writer let in beside a reader frees a player under an
// audio thread's block, which MinGW's std::shared_mutex did under load.

#include "voice/ReaderWriterLock.h"

#include "support/StartingGate.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <thread>
#include <vector>

namespace Tralvonic::Voice {
namespace {

using namespace std::chrono_literals;

// Long enough for any thread to be scheduled; only a broken lock makes a test wait for it.
constexpr auto Patience = 10s;

TEST(ReaderWriterLock, ReadersHoldItTogetherAndAWriterWaitsForTheLastOfThem) {
    ReaderWriterLock lock;
    std::shared_lock first(lock);

    // A second reader gets in while the first holds it.
    std::promise<void> releaseSecond;
    std::promise<void> secondIsIn;
    std::thread second([&] {
        std::shared_lock shared(lock);
        secondIsIn.set_value();
        releaseSecond.get_future().wait();
    });
    ASSERT_EQ(secondIsIn.get_future().wait_for(Patience), std::future_status::ready);

    std::atomic<bool> writerIsIn{false};
    std::thread writer([&] {
        std::unique_lock exclusive(lock);
        writerIsIn = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(writerIsIn);
    first.unlock();
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(writerIsIn) << "the writer got in beside the second reader";

    releaseSecond.set_value();
    second.join();
    writer.join();
    EXPECT_TRUE(writerIsIn);

    // Free again once everyone has let go.
    std::unique_lock again(lock);
}

TEST(ReaderWriterLock, NoWriterIsEverInsideBesideAReaderOrAnotherWriter) {
    // Bursts of readers that hold the lock for a while, readers that upgrade by letting go and
    // taking it alone (as a lookup that misses and then adds), and a writer that only writes.
    constexpr int Rounds = 60;
    constexpr int Steps = 400;
    // A new lock each round: the threads' first calls meet on it at once (MinGW's
    // std::shared_mutex sets itself up on its first use, and its threads did not agree on it).
    std::unique_ptr<ReaderWriterLock> lock;
    std::atomic<int> readersInside{0};
    std::atomic<int> writersInside{0};
    std::atomic<int> overlaps{0};

    auto write = [&] {
        std::unique_lock exclusive(*lock);
        if (writersInside.fetch_add(1) != 0 || readersInside.load() != 0) {
            ++overlaps;
        }
        writersInside.fetch_sub(1);
    };
    auto read = [&](int holdFor) {
        std::shared_lock shared(*lock);
        readersInside.fetch_add(1);
        for (int spin = 0; spin < holdFor; ++spin) {
            if (writersInside.load(std::memory_order_relaxed) != 0) {
                ++overlaps;
                break;
            }
        }
        readersInside.fetch_sub(1);
    };

    for (int round = 0; round < Rounds; ++round) {
        lock = std::make_unique<ReaderWriterLock>();
        Testing::StartingGate start(4);
        std::vector<std::thread> threads;
        for (const int holdFor : {1000, 1000, 2}) {
            threads.emplace_back([&, holdFor] {
                start.ArriveAndWait();
                for (int step = 0; step < Steps; ++step) {
                    read(holdFor);
                    if (step % 4 == 0) {
                        write();
                    }
                }
            });
        }
        threads.emplace_back([&] {
            start.ArriveAndWait();
            for (int step = 0; step < Steps / 2; ++step) {
                write();
            }
        });
        for (std::thread& thread : threads) {
            thread.join();
        }
        ASSERT_EQ(overlaps.load(), 0) << "round " << round;
    }
}

} // namespace
} // namespace Tralvonic::Voice
