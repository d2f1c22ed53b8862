// Distances, 3D offsets, bindings and whisper targets as one self state update leaves them.

#include "unit/instance/IngameFixture.h"

#include <cmath>

namespace Tralvonic::Test {
namespace {

using TeamSpeak::TSVector;
using Proximity = IngameTest;

TEST_F(Proximity, BulkSequenceAppliesEveryPlayerBeforeTheOneRecalculation) {
    StartIngame();
    // Without players the empty list equals the initial one: nothing to send.
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 20));
    EXPECT_EQ(WhisperRequests(), 0u);

    const anyID anna = Join("Anna");
    const anyID ben = Join("Ben");
    const anyID carl = Join("Carl");
    instance->OnPlayerStateUpdate(Player("Anna", {3, 4, 5}, 10)); // 7.07 away: both hear each other
    instance->OnPlayerStateUpdate(Player("Ben", {0, 30, 0}, 50)); // the user hears him, not he the user
    instance->OnPlayerStateUpdate(Player("Carl", {-5, 0, 0}, 2)); // he hears the user, not the user him
    EXPECT_EQ(sim.CallCount("channelset3DAttributes"), 0u);
    EXPECT_EQ(WhisperRequests(), 0u);

    instance->OnSelfStateUpdate(Self({0, 0, 0}, 20));

    EXPECT_EQ(WhisperRequests(), 1u);
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{anna, carl}));
    EXPECT_FALSE(tab.Whispers()->Channels.has_value());
    // Height is dropped and each voice range maps to 10 units.
    ExpectVector(tab.PositionOf(anna), {3, 4, 0});
    ExpectVector(tab.PositionOf(ben), {0, 6, 0});
    EXPECT_FALSE(tab.PositionOf(carl).has_value());
    ExpectVector(Stored("Carl")->PositionOffset(), {0, 0, 0});
    EXPECT_FLOAT_EQ(Stored("Carl")->Distance(), 5.0f);

    // The same targets again cost no host request.
    instance->OnSelfStateUpdate(Self({0, 1, 0}, 20));
    EXPECT_EQ(WhisperRequests(), 1u);
}

TEST_F(Proximity, RangeEdgesAreStrictAndCulledPlayersStayOut) {
    StartIngame();
    const anyID edge = Join("Edge");
    const anyID culled = Join("Culled");
    const anyID inside = Join("Inside");
    instance->OnPlayerStateUpdate(Player("Edge", {10, 0, 0}, 10));
    auto near = Player("Culled", {1, 0, 0}, 10);
    near.DistanceCulled = true;
    instance->OnPlayerStateUpdate(near);
    instance->OnPlayerStateUpdate(Player("Inside", {0, 9.5f, 0}, 10));

    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));

    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{inside}));
    EXPECT_FALSE(tab.PositionOf(edge).has_value());
    EXPECT_FALSE(tab.PositionOf(culled).has_value());
    ExpectVector(tab.PositionOf(inside), {0, 9.5f, 0});
    // Both offsets are still computed.
    ExpectVector(Stored("Edge")->PositionOffset(), {10, 0, 0});
    ExpectVector(Stored("Culled")->PositionOffset(), {1, 0, 0});
    EXPECT_FALSE(instance->IsPlayerInRange(*Stored("Edge")));
    EXPECT_FALSE(instance->IsPlayerInOwnVoiceRange(*Stored("Edge")));
    EXPECT_TRUE(instance->IsPlayerInOwnVoiceRange(*Stored("Inside")));
}

TEST_F(Proximity, HeadingTurnsOffsetsIntoTheListenersFrame) {
    StartIngame();
    const anyID anna = Join("Anna");
    instance->OnPlayerStateUpdate(Player("Anna", {110, 100, 7}, 10));

    instance->OnSelfStateUpdate(Self({100, 100, 7}, 10, 90));
    EXPECT_FALSE(tab.PositionOf(anna).has_value()); // exactly at his range
    ExpectVector(Stored("Anna")->PositionOffset(), {0, -10, 0});

    instance->OnPlayerStateUpdate(Player("Anna", {105, 100, 7}, 10));
    instance->OnSelfStateUpdate(Self({100, 100, 7}, 10, -90));
    ExpectVector(tab.PositionOf(anna), {0, 5, 0});
}

TEST_F(Proximity, DeadUserWhispersToNobodyButStillHearsPlayers) {
    StartIngame();
    const anyID anna = Join("Anna");
    const anyID ben = Join("Ben");
    instance->OnPlayerStateUpdate(Player("Anna", {1, 0, 0}, 10));
    auto dead = Player("Ben", {2, 0, 0}, 10);
    dead.IsAlive = false;
    instance->OnPlayerStateUpdate(dead);
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));
    // A dead player is never positioned, but the user's voice still reaches his client.
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{anna, ben}));
    EXPECT_FALSE(tab.PositionOf(ben).has_value());

    auto deadSelf = Self({0, 0, 0}, 10);
    deadSelf.IsAlive = false;
    instance->OnPlayerStateUpdate(Player("Anna", {0, 2, 0}, 10));
    instance->OnSelfStateUpdate(deadSelf);

    EXPECT_EQ(WhisperClients(), std::vector<anyID>{});
    ExpectVector(tab.PositionOf(anna), {0, 2, 0});
}

TEST_F(Proximity, PlayersWithoutPositionOrRangeStayFinite) {
    StartIngame();
    const anyID ghost = Join("Ghost");
    const anyID twin = Join("Twin");
    auto nowhere = Player("Ghost", {}, 100);
    nowhere.Position.reset();
    instance->OnPlayerStateUpdate(nowhere);
    instance->OnPlayerStateUpdate(Player("Twin", {4, 4, 4}, 0));

    instance->OnSelfStateUpdate(Self({4, 4, 4}, 10));

    EXPECT_TRUE(std::isinf(Stored("Ghost")->Distance()));
    EXPECT_FALSE(tab.PositionOf(ghost).has_value());
    ExpectVector(Stored("Twin")->PositionOffset(), {0, 0, 0});
    EXPECT_FALSE(tab.PositionOf(twin).has_value());
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{twin}));
}

TEST_F(Proximity, PlayersBindByNicknameInTheInstanceChannelOnly) {
    StartIngame();
    tab.AddClient("Anna", lobby);
    const anyID firstBen = Join("Ben");
    Join("Ben");
    instance->OnPlayerStateUpdate(Player("Anna", {1, 0, 0}, 10));
    instance->OnPlayerStateUpdate(Player("Ben", {1, 0, 0}, 10));

    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));

    EXPECT_FALSE(Stored("Anna")->Client().has_value());
    EXPECT_TRUE(HasLogLine("Could not find a TeamSpeak client for Anna"));
    ASSERT_TRUE(Stored("Ben")->Client().has_value());
    EXPECT_EQ(Stored("Ben")->Client()->Id(), firstBen);
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{firstBen}));
}

TEST_F(Proximity, TheUserListedAsAPlayerIsNeverBoundToHisOwnClient) {
    StartIngame();
    const anyID ben = Join("Ben");
    instance->OnPlayerStateUpdate(Player("Player", {0, 0, 0}, 10));
    instance->OnPlayerStateUpdate(Player("Ben", {1, 0, 0}, 10));

    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));

    EXPECT_FALSE(Stored("Player")->Client().has_value());
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{ben}));
    EXPECT_EQ(sim.CallCount("systemset3DListenerAttributes"), 0u);
}

TEST_F(Proximity, Without3dVoicesSitOnTheListener) {
    Configure(false);
    StartIngame();
    const anyID anna = Join("Anna");
    instance->OnPlayerStateUpdate(Player("Anna", {23, 30, 40}, 10));

    instance->OnSelfStateUpdate(Self({20, 30, 40}, 10, 45));

    const auto listener = tab.Listener();
    ExpectVector(std::optional(listener.Position), {20, 30, 40});
    ExpectVector(std::optional(listener.Forward), {0, 0, 0});
    ExpectVector(std::optional(listener.Up), {0, 0, 0});
    ExpectVector(tab.PositionOf(anna), {20, 30, 40});
}

TEST_F(Proximity, InvalidEchoRolloffKeepsThePreviousSelfState) {
    StartIngame();
    auto self = Self({1, 2, 3}, 10);
    self.Echo = Model::EchoEffect{};
    self.Echo->Rolloff = 0.5f;
    instance->OnSelfStateUpdate(self);

    for (const float rolloff : {0.0f, 1.0f, -0.1f}) {
        auto rejected = Self({9, 9, 9}, 5);
        rejected.Echo = Model::EchoEffect{};
        rejected.Echo->Rolloff = rolloff;
        instance->OnSelfStateUpdate(rejected);
        EXPECT_EQ(instance->OwnState().State(), self) << rolloff;
    }
}

} // namespace
} // namespace Tralvonic::Test
