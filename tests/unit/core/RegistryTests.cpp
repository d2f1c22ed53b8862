// The registry of game instances: lookups by server identifier and by handler id, the
// PluginState broadcasts on registration and delayed removal, and the stop that empties it.

#include "unit/link/PluginLinkFixture.h"

#include <chrono>

namespace Tralvonic::Test {
namespace {

using Registry = PluginLinkTest;

TEST_F(Registry, LookupsFindTheFirstRegisteredMatch) {
    const auto first = MakeInstance("alpha");
    const auto second = MakeInstance("beta");
    const auto sameServer = MakeInstance("alpha");
    first->SetServerConnectionHandle(7);
    second->SetServerConnectionHandle(9);
    sameServer->SetServerConnectionHandle(7);
    Base::AddGameInstance(first);
    Base::AddGameInstance(second);
    Base::AddGameInstance(sameServer);

    std::shared_ptr<GameInstance> found;
    ASSERT_TRUE(Base::TryGetGameInstance("alpha", found));
    EXPECT_EQ(found, first);
    ASSERT_TRUE(Base::TryGetGameInstance(std::uint64_t{9}, found));
    EXPECT_EQ(found, second);
    ASSERT_TRUE(Base::TryGetGameInstance(std::uint64_t{7}, found));
    EXPECT_EQ(found, first);

    // Identifiers compare exactly.
    EXPECT_FALSE(Base::TryGetGameInstance("ALPHA", found));
    EXPECT_FALSE(Base::TryGetGameInstance("alph", found));
    EXPECT_FALSE(Base::TryGetGameInstance(std::uint64_t{8}, found));
    EXPECT_EQ(Base::GameInstances(), (std::vector{first, second, sameServer}));
}

TEST_F(Registry, RegisteringOneInstanceTwiceKeepsOneEntryAndAnnouncesBoth) {
    StartPluginLink();
    auto game = ConnectGame();
    const auto instance = MakeInstance("server");

    Base::AddGameInstance(instance);
    Base::AddGameInstance(instance);

    EXPECT_EQ(NextMessage(game), PluginStateMessage("server", 1));
    EXPECT_EQ(NextMessage(game), PluginStateMessage("server", 1));
    EXPECT_EQ(Base::GameInstances().size(), 1u);
}

TEST_F(Registry, DelayedRemovalKeepsTheInstanceFor250Milliseconds) {
    StartPluginLink();
    auto game = ConnectGame();
    const auto leaving = MakeInstance("leaving");
    const auto staying = MakeInstance("staying");
    Base::AddGameInstance(leaving);
    Base::AddGameInstance(staying);
    ASSERT_EQ(NextMessage(game), PluginStateMessage("leaving", 1));
    ASSERT_EQ(NextMessage(game), PluginStateMessage("staying", 2));

    const auto requested = std::chrono::steady_clock::now();
    Base::RemoveGameInstanceDelayed(leaving);
    std::shared_ptr<GameInstance> found;
    EXPECT_TRUE(Base::TryGetGameInstance("leaving", found));

    EXPECT_EQ(NextMessage(game), PluginStateMessage("leaving", 1));
    EXPECT_GE(std::chrono::steady_clock::now() - requested, std::chrono::milliseconds(250));
    EXPECT_FALSE(Base::TryGetGameInstance("leaving", found));
    EXPECT_EQ(Base::GameInstances(), (std::vector{staying}));
}

TEST_F(Registry, StopEmptiesTheRegistryAndDropsPendingRemovals) {
    StartPluginLink();
    auto instance = MakeInstance("server");
    const std::weak_ptr<GameInstance> watched = instance;
    Base::AddGameInstance(instance);
    Base::AddGameInstance(MakeInstance("other"));
    Base::RemoveGameInstanceDelayed(instance);

    Base::OnPluginStop();

    EXPECT_TRUE(Base::GameInstances().empty());
    // Only the pending removal task could still hold it: that task is gone, not just late.
    instance.reset();
    EXPECT_TRUE(watched.expired());
}

} // namespace
} // namespace Tralvonic::Test
