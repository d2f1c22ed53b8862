// The whisper list setter: compared as a set, more than 50 clients become the whole channel,
// and nothing reaches the host without an own client or inside a swiss channel.

#include "unit/instance/IngameFixture.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace Tralvonic::Test {
namespace {

using Whisper = IngameTest;

TEST_F(Whisper, MoreThanFiftyTargetsSpeakToTheWholeChannel) {
    StartIngame();
    std::vector<anyID> clients;
    for (int i = 0; i <= 50; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "P%02d", i);
        clients.push_back(Join(name));
        instance->OnPlayerStateUpdate(Player(name, {1, 0, 0}, 5));
    }

    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));
    ASSERT_TRUE(tab.Whispers().has_value());
    EXPECT_EQ(tab.Whispers()->Channels, std::vector<uint64>{ingame});
    EXPECT_FALSE(tab.Whispers()->Clients.has_value());
    EXPECT_EQ(instance->WhisperTargets(), clients);

    instance->OnPlayerRemove(Player("P50", {}, 0));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));
    clients.pop_back();
    EXPECT_FALSE(tab.Whispers()->Channels.has_value());
    EXPECT_EQ(WhisperClients(), clients);
    EXPECT_EQ(WhisperRequests(), 2u);
}

TEST_F(Whisper, OrderDoesNotCountButRepetitionsDo) {
    StartIngame();
    const anyID anna = Join("Anna");
    const anyID ben = Join("Ben");

    instance->SetWhisperTargets({anna, ben});
    instance->SetWhisperTargets({ben, anna});
    EXPECT_EQ(WhisperRequests(), 1u);
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{anna, ben}));
    EXPECT_EQ(instance->WhisperTargets(), (std::vector<anyID>{ben, anna}));

    instance->SetWhisperTargets({ben, anna, anna});
    EXPECT_EQ(WhisperRequests(), 2u);
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{ben, anna, anna}));

    // An empty list is a list: the user's voice reaches nobody, it is not a cleared whisper list.
    instance->SetWhisperTargets({});
    EXPECT_EQ(WhisperRequests(), 3u);
    EXPECT_EQ(WhisperClients(), std::vector<anyID>{});
}

TEST_F(Whisper, TheHostEndsWithTheLastListComputedWhenTwoRecalculationsRace) {
    StartIngame();
    const anyID anna = Join("Anna");
    const anyID ben = Join("Ben");

    // While the first list is on its way to the host, a host event computes another one on
    // its own thread and is done before the first has arrived.
    std::atomic<bool> hasRaced{false};
    sim.Record().SetObserver([&](const Sim::HostCall& call) {
        if (call.Function == "getChannelOfClient" && !hasRaced.exchange(true)) {
            std::thread([&] { instance->SetWhisperTargets({ben}); }).join();
        }
    });
    instance->SetWhisperTargets({anna});
    sim.Record().SetObserver(nullptr);

    ASSERT_TRUE(hasRaced.load());
    EXPECT_EQ(instance->WhisperTargets(), std::vector<anyID>{ben});
    EXPECT_EQ(WhisperClients(), std::vector<anyID>{ben});
    // The host holds what the instance holds, so an equal list needs nothing more.
    instance->SetWhisperTargets({ben});
    EXPECT_EQ(WhisperClients(), std::vector<anyID>{ben});
}

TEST_F(Whisper, ListIsOnlyStoredInsideASwissChannel) {
    const uint64 swiss = tab.AddChannel("Swiss");
    const uint64 below = tab.AddChannel("Below", tab.AddChannel("Between", swiss));
    Start("uid-alpha", {swiss});
    const anyID anna = Join("Anna");
    tab.MoveClient(me, below);

    instance->SetWhisperTargets({anna});
    EXPECT_EQ(WhisperRequests(), 0u);
    EXPECT_EQ(instance->WhisperTargets(), std::vector<anyID>{anna});

    tab.MoveClient(me, ingame);
    instance->SetWhisperTargets({});
    EXPECT_EQ(WhisperRequests(), 1u);
}

TEST_F(Whisper, ListIsOnlyStoredWithoutAConnection) {
    Start("uid-elsewhere");
    ASSERT_EQ(instance->InstanceState(), Model::GameInstanceState::NotConnected);
    instance->SetWhisperTargets({4, 5});
    EXPECT_EQ(WhisperRequests(), 0u);
    EXPECT_EQ(instance->WhisperTargets(), (std::vector<anyID>{4, 5}));
}

} // namespace
} // namespace Tralvonic::Test
