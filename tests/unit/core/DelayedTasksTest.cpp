#include "core/DelayedTasks.h"

#include "SimulatedClient.h"
#include "TeamSpeak/Base.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace Tralvonic {
namespace {

using namespace std::chrono_literals;

// Collects what the tasks did and lets the test wait for it with a deadline.
class Journal {
public:
    void Add(int value) {
        {
            std::lock_guard lock(_mutex);
            _values.push_back(value);
            _threads.push_back(std::this_thread::get_id());
        }
        _changed.notify_all();
    }
    bool WaitForCount(std::size_t count, std::chrono::milliseconds timeout = 5s) {
        std::unique_lock lock(_mutex);
        return _changed.wait_for(lock, timeout, [&] { return _values.size() >= count; });
    }
    std::vector<int> Values() {
        std::lock_guard lock(_mutex);
        return _values;
    }
    std::vector<std::thread::id> Threads() {
        std::lock_guard lock(_mutex);
        return _threads;
    }

private:
    std::mutex _mutex;
    std::condition_variable _changed;
    std::vector<int> _values;
    std::vector<std::thread::id> _threads;
};

TEST(DelayedTasksTest, TasksRunOnABackgroundThreadInDueOrderNotBeforeTheirDelay) {
    Journal journal;
    DelayedTasks tasks;
    const auto start = DelayedTasks::Clock::now();
    tasks.Schedule(120ms, [&] { journal.Add(2); });
    tasks.Schedule(40ms, [&] { journal.Add(1); });
    tasks.Schedule(120ms, [&] { journal.Add(3); });

    ASSERT_TRUE(journal.WaitForCount(3));
    EXPECT_GE(DelayedTasks::Clock::now() - start, 120ms);
    EXPECT_EQ(journal.Values(), (std::vector<int>{1, 2, 3}));
    EXPECT_NE(journal.Threads()[0], std::this_thread::get_id());
    EXPECT_EQ(tasks.Pending(), 0u);
}

TEST(DelayedTasksTest, StopDropsPendingTasksAndSchedulingAgainWorks) {
    Journal journal;
    DelayedTasks tasks;
    tasks.Schedule(10min, [&] { journal.Add(1); });
    EXPECT_EQ(tasks.Pending(), 1u);
    tasks.Stop();
    EXPECT_EQ(tasks.Pending(), 0u);
    EXPECT_TRUE(journal.Values().empty());

    tasks.Schedule(0ms, [&] { journal.Add(2); });
    ASSERT_TRUE(journal.WaitForCount(1));
    EXPECT_EQ(journal.Values(), std::vector<int>{2});
}

TEST(DelayedTasksTest, AThrowingTaskIsLoggedAndDoesNotEndTheThread) {
    Sim::SimulatedClient host;
    TeamSpeak::Base::SetFunctions(host.Functions());
    Journal journal;
    DelayedTasks tasks;
    tasks.Schedule(0ms, [] { throw std::runtime_error("task failed"); });
    tasks.Schedule(20ms, [&] { journal.Add(1); });
    ASSERT_TRUE(journal.WaitForCount(1));
    tasks.Stop();
    const auto log = host.LogEntries();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].Message, "std::runtime_error: task failed");
    EXPECT_EQ(log[0].LogId, 2u);
}

} // namespace
} // namespace Tralvonic
