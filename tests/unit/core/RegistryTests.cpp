// The registry of game instances: lookups by server identifier and by handler id, the
// PluginState broadcasts on registration and delayed removal, and the stop that empties it.

#include "unit/link/PluginLinkFixture.h"

#include <chrono>

namespace Tralvonic::Test {
namespace {

class Registry : public PluginLinkTest {
protected:
    // An instance that took a simulated server tab over, so it carries that tab's handler id.
    std::shared_ptr<GameInstance> ConnectedInstance(const std::string& uid, const Sim::SimServer& tab) {
        Model::GameInstanceSettings settings;
        settings.ServerUniqueIdentifier = uid;
        settings.Name = "Player";
        settings.ChannelId = tab.Channels().front().Id;
        auto instance = std::make_shared<GameInstance>(settings);
        instance->OnServerConnect(TeamSpeak::Server(tab.Handler()));
        return instance;
    }

    Sim::SimServer& Tab(const std::string& uid) {
        auto& tab = Sim.AddServer(uid, uid, TeamSpeak::STATUS_CONNECTION_ESTABLISHED);
        tab.AddOwnClient("Tester", tab.AddChannel("Lobby"));
        return tab;
    }
};

TEST_F(Registry, LookupsFindTheFirstRegisteredMatch) {
    auto& alphaTab = Tab("alpha");
    auto& betaTab = Tab("beta");
    const auto first = ConnectedInstance("alpha", alphaTab);
    const auto second = ConnectedInstance("beta", betaTab);
    const auto sameServer = ConnectedInstance("alpha", alphaTab);
    const auto unused = alphaTab.Handler() + betaTab.Handler() + 1;
    Base::AddGameInstance(first);
    Base::AddGameInstance(second);
    Base::AddGameInstance(sameServer);

    std::shared_ptr<GameInstance> found;
    ASSERT_TRUE(Base::TryGetGameInstance("alpha", found));
    EXPECT_EQ(found, first);
    ASSERT_TRUE(Base::TryGetGameInstance(betaTab.Handler(), found));
    EXPECT_EQ(found, second);
    ASSERT_TRUE(Base::TryGetGameInstance(alphaTab.Handler(), found));
    EXPECT_EQ(found, first);

    // Identifiers compare exactly.
    EXPECT_FALSE(Base::TryGetGameInstance("ALPHA", found));
    EXPECT_FALSE(Base::TryGetGameInstance("alph", found));
    EXPECT_FALSE(Base::TryGetGameInstance(unused, found));
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

TEST_F(Registry, StopResetsEveryInstanceInRegistrationOrder) {
    StartPluginLink();
    auto& alphaTab = Tab("alpha");
    auto& betaTab = Tab("beta");
    const auto first = ConnectedInstance("alpha", alphaTab);
    const auto second = ConnectedInstance("beta", betaTab);
    Base::AddGameInstance(first);
    Base::AddGameInstance(second);

    Base::OnPluginStop();

    EXPECT_TRUE(first->IsResetted());
    EXPECT_TRUE(second->IsResetted());
    std::vector<std::string> resets;
    for (const auto& entry : LogsOn(LogChannel::GameInstance)) {
        if (entry.Message.ends_with(" will be reset..."))
            resets.push_back(entry.Message);
    }
    EXPECT_EQ(resets, (std::vector<std::string>{"GameInstace alpha will be reset...",
                                                "GameInstace beta will be reset..."}));
}

} // namespace
} // namespace Tralvonic::Test
