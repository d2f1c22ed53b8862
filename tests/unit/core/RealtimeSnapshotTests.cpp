// The snapshot the audio path reads: a reader sees one whole value, a writer never frees a
// value that a reader still holds, and values are freed on the writer's thread.

#include "core/RealtimeSnapshot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace Tralvonic::Test {
namespace {

// Counts its live copies and which thread destroyed the last one.
struct Tracked {
    static inline std::atomic<int> Alive{0};
    static inline std::atomic<bool> DiedOnReader{false};
    static inline thread_local bool IsReader = false;
    explicit Tracked(int value) : Value(value), Check(value * 7) { ++Alive; }
    ~Tracked() {
        --Alive;
        if (IsReader) {
            DiedOnReader = true;
        }
    }
    int Value;
    int Check;
};

TEST(RealtimeSnapshot, AReaderSeesThePublishedValueAndTheReplacedOneComesBack) {
    RealtimeSnapshot<int> snapshot(std::make_unique<const int>(1));
    EXPECT_EQ(*snapshot.Read(), 1);
    auto previous = snapshot.Publish(std::make_unique<const int>(2));
    ASSERT_TRUE(previous);
    EXPECT_EQ(*previous, 1);
    EXPECT_EQ(*snapshot.Read(), 2);
}

TEST(RealtimeSnapshot, EveryReaderSlotCanBeBorrowedAtOnceAndOneMoreFindsNone) {
    RealtimeSnapshot<int> snapshot(std::make_unique<const int>(5));
    std::vector<RealtimeSnapshot<int>::Reader> readers;
    for (std::size_t i = 0; i < RealtimeSnapshot<int>::ReaderSlots; ++i) {
        readers.push_back(snapshot.Read());
        ASSERT_TRUE(readers.back());
        EXPECT_EQ(*readers.back(), 5);
    }
    EXPECT_FALSE(snapshot.Read());
    readers.pop_back();
    EXPECT_TRUE(snapshot.Read());
}

TEST(RealtimeSnapshot, ReadersUnderConstantPublishingSeeWholeValuesAndNeverFreeOne) {
    {
        RealtimeSnapshot<Tracked> snapshot(std::make_unique<const Tracked>(0));
        std::atomic<bool> stop{false};
        std::atomic<long> torn{0};
        std::vector<std::thread> readers;
        for (int r = 0; r < 3; ++r) {
            readers.emplace_back([&] {
                Tracked::IsReader = true;
                while (!stop.load()) {
                    const auto reader = snapshot.Read();
                    if (reader && reader->Check != reader->Value * 7) {
                        ++torn;
                    }
                }
            });
        }
        for (int value = 1; value <= 2000; ++value) {
            const auto previous = snapshot.Publish(std::make_unique<const Tracked>(value));
        }
        stop = true;
        for (auto& reader : readers) {
            reader.join();
        }
        EXPECT_EQ(torn.load(), 0);
        EXPECT_EQ(snapshot.Read()->Value, 2000);
        EXPECT_EQ(Tracked::Alive.load(), 1);
    }
    EXPECT_EQ(Tracked::Alive.load(), 0);
    EXPECT_FALSE(Tracked::DiedOnReader.load());
}

} // namespace
} // namespace Tralvonic::Test
