// The bounded queues between the voice callbacks: blocks in order, padding in whole frames,
// the oldest frames dropped beyond two seconds, and a consumer racing a producer.

#include "instance/SampleQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <numeric>
#include <thread>
#include <vector>

namespace Tralvonic::Test {
namespace {

std::vector<std::int16_t> Ramp(std::size_t count, std::int16_t first = 1) {
    std::vector<std::int16_t> samples(count);
    std::iota(samples.begin(), samples.end(), first);
    return samples;
}

std::vector<std::int16_t> Take(SampleQueue& queue, std::size_t count, std::size_t frameWidth = 1) {
    std::vector<std::int16_t> out(count);
    out.resize(queue.Dequeue(out, frameWidth));
    return out;
}

TEST(SampleQueue, WithoutStorageNothingIsQueued) {
    SampleQueue queue;
    const auto block = Ramp(4);
    queue.Append(block, 100, 2);
    EXPECT_TRUE(queue.Empty());
    EXPECT_TRUE(Take(queue, 4).empty());
}

TEST(SampleQueue, PaddingComesFirstInWholeFramesThenTheBlock) {
    SampleQueue queue;
    queue.Reserve();
    const auto block = Ramp(4);
    // Five samples of delay in frames of two: six zeros.
    queue.Append(block, 5, 2);
    EXPECT_EQ(queue.Size(), 10u);
    EXPECT_EQ(Take(queue, 10), (std::vector<std::int16_t>{0, 0, 0, 0, 0, 0, 1, 2, 3, 4}));
    // A new stream starts with its delay; once long enough, no more padding.
    queue.Append(block, 4, 2);
    queue.Append(block, 4, 2);
    EXPECT_EQ(Take(queue, 12), (std::vector<std::int16_t>{0, 0, 0, 0, 1, 2, 3, 4, 1, 2, 3, 4}));
}

TEST(SampleQueue, ConsumersTakeWholeFramesAndPeekWithoutRemoving) {
    SampleQueue queue;
    queue.Reserve();
    queue.Append(Ramp(5), 0, 1);
    EXPECT_EQ(queue.Peek(0), 1);
    EXPECT_EQ(queue.Peek(4), 5);
    EXPECT_EQ(queue.Peek(5), 0);
    EXPECT_EQ(Take(queue, 5, 2), (std::vector<std::int16_t>{1, 2, 3, 4}));
    EXPECT_EQ(queue.Size(), 1u);
    queue.Clear();
    EXPECT_TRUE(queue.Empty());
}

TEST(SampleQueue, BeyondTwoSecondsTheOldestFramesAreDropped) {
    SampleQueue queue;
    queue.Reserve();
    const auto block = Ramp(1920);
    // A consumer that stopped: 200 blocks of 20 ms stereo would be 4 s.
    for (int i = 0; i < 200; ++i) {
        queue.Append(block, 24000, 2);
    }
    EXPECT_EQ(queue.Size(), SampleQueue::CapacitySamples);
    // Still whole blocks in order at the head: the drops kept the frames aligned.
    EXPECT_EQ(Take(queue, 1920, 2), block);
}

TEST(SampleQueue, AConsumerRacingAProducerThatDropsSeesOnlyWholeOrderedFrames) {
    constexpr int Cycle = 30000;
    SampleQueue queue;
    queue.Reserve();
    std::atomic<bool> done{false};
    std::atomic<long> broken{0};
    std::atomic<long> received{0};
    std::thread consumer([&] {
        int previous = 0;
        std::vector<std::int16_t> out(512);
        while (!done.load() || !queue.Empty()) {
            const std::size_t taken = queue.Dequeue(out, 2);
            for (std::size_t i = 0; i < taken; i += 2) {
                // Frames are (n, -n) with n counting 1..Cycle round; drops only skip forward.
                const int value = out[i];
                const int step = (value - previous + Cycle) % Cycle;
                if (out[i + 1] != -value || step < 1 ||
                    step > static_cast<int>(SampleQueue::CapacitySamples / 2) + 1) {
                    ++broken;
                }
                previous = value;
                ++received;
            }
        }
    });
    std::vector<std::int16_t> block(960);
    int next = 0;
    for (int round = 0; round < 3000; ++round) {
        for (std::size_t i = 0; i < block.size(); i += 2) {
            next = next % Cycle + 1;
            block[i] = static_cast<std::int16_t>(next);
            block[i + 1] = static_cast<std::int16_t>(-next);
        }
        queue.Append(block, 0, 2);
    }
    done = true;
    consumer.join();
    EXPECT_EQ(broken.load(), 0);
    EXPECT_GT(received.load(), 0);
}

} // namespace
} // namespace Tralvonic::Test
