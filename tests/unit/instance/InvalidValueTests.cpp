// The InvalidValue errors the game receives for values out of their range, text and code
// exact, and that the offending update is dropped; also the bounds on lists a game sends and
// on the players it adds.

#include "unit/instance/Broadcasts.h"
#include "unit/instance/IngameFixture.h"

namespace Tralvonic::Test {
namespace {

class InvalidValues : public IngameTest {
protected:
    void SetUp() override {
        StartIngame();
        broadcasts.Clear(); // the start's own reports
    }

    Broadcasts broadcasts;
};

TEST_F(InvalidValues, PlayerAndSelfStateValuesOutOfRangeAreReportedAndDropped) {
    auto loud = Player("Anna", {1, 0, 0}, 10);
    loud.VolumeOverride = 1.7f;
    instance->OnPlayerStateUpdate(loud);
    loud.VolumeOverride = -0.1f;
    instance->OnPlayerStateUpdate(loud);
    auto muffled = Player("Ben", {1, 0, 0}, 10);
    muffled.Muffle = Model::MuffleEffect{11};
    instance->OnPlayerStateUpdate(muffled);
    auto echo = Self({0, 0, 0}, 10);
    echo.Echo = Model::EchoEffect{};
    echo.Echo->Rolloff = 1.0f;
    instance->OnSelfStateUpdate(echo);

    // Errors only: the keepalive's pings may come in between.
    EXPECT_EQ(broadcasts.Errors(),
              (std::vector<std::string>{
                  Broadcasts::InvalidValue("PlayerState.VolumeOverride has to be >= 0f and <= 1.6f"),
                  Broadcasts::InvalidValue("PlayerState.VolumeOverride has to be >= 0f and <= 1.6f"),
                  Broadcasts::InvalidValue("PlayerState.MuffleIntensity has to be >= 0 and <= 10"),
                  Broadcasts::InvalidValue("SelfState.Echo.Rolloff has to be > 0f and < 1f")}));
    EXPECT_EQ(instance->PlayerStateCount(), 0u);

    // The edges themselves pass without a word.
    broadcasts.Clear();
    loud.VolumeOverride = 1.6f;
    instance->OnPlayerStateUpdate(loud);
    muffled.Muffle = Model::MuffleEffect{10};
    instance->OnPlayerStateUpdate(muffled);
    EXPECT_TRUE(broadcasts.Errors().empty());
    EXPECT_EQ(instance->PlayerStateCount(), 2u);
}

TEST_F(InvalidValues, ListsBeyondTheirBoundAreRefusedWhole) {
    Model::RadioCommunication radio;
    radio.Name = "Anna";
    radio.SenderRadioType = Model::RadioType::ShortRange;
    radio.OwnRadioType = Model::RadioType::ShortRange;
    radio.RelayedBy.assign(65, "Relay");
    instance->OnRadioCommunicationUpdate(radio);
    Model::PhoneCommunication phone;
    phone.Name = "Anna";
    phone.SignalStrength = 10;
    phone.RelayedBy.assign(65, "Relay");
    instance->OnPhoneCommunicationUpdate(phone);
    instance->OnRadioTowerUpdate(Model::RadioTower{std::vector<Model::Tower>(1025)});
    std::vector<std::string> names;
    for (int index = 0; index < 1025; ++index) {
        names.push_back("Member" + std::to_string(index));
    }
    instance->OnUpdateRadioChannelMembers({names, true});

    EXPECT_EQ(
        broadcasts.Errors(),
        (std::vector<std::string>{
            Broadcasts::InvalidValue("RadioCommunication.RelayedBy has to hold <= 64 names"),
            Broadcasts::InvalidValue("PhoneCommunication.RelayedBy has to hold <= 64 names"),
            Broadcasts::InvalidValue("RadioTower.Towers has to hold <= 1024 towers"),
            Broadcasts::InvalidValue("RadioChannelMemberUpdate.PlayerNames has to hold <= 1024 names")}));
    EXPECT_TRUE(instance->RadioCommunications()->empty());
    EXPECT_TRUE(instance->PhoneCommunications()->empty());
    EXPECT_TRUE(instance->RadioTowers()->empty());
    EXPECT_TRUE(instance->PrimaryRadioChannelMembers()->empty());
    EXPECT_EQ(instance->PlayerStateCount(), 0u);

    // At the bound everything is taken.
    names.pop_back();
    instance->OnUpdateRadioChannelMembers({names, true});
    EXPECT_EQ(instance->PrimaryRadioChannelMembers()->size(), 1024u);
    instance->OnAddRadioChannelMember({"OneTooMany", true});
    EXPECT_EQ(broadcasts.Errors().back(),
              Broadcasts::InvalidValue("RadioChannelMember.PlayerName can't join a channel of 1024 members"));
    EXPECT_EQ(instance->PrimaryRadioChannelMembers()->size(), 1024u);
}

TEST_F(InvalidValues, PlayersBeyondTheBoundAreRefusedOnceABulkAndKnownOnesStillUpdate) {
    Model::BulkUpdate bulk;
    for (int index = 0; index < 2048 + 10; ++index) {
        bulk.PlayerStates.push_back(Player("Player" + std::to_string(index), {1, 0, 0}, 10));
    }
    instance->OnBulkUpdate(bulk);

    const std::string refusal =
        Broadcasts::InvalidValue("PlayerState.Name can't join an instance of 2048 players");
    // Ten refused in one bulk: one error, not ten.
    EXPECT_EQ(broadcasts.Errors(), std::vector<std::string>{refusal});
    EXPECT_EQ(instance->PlayerStateCount(), 2048u);
    std::shared_ptr<PlayerState> stored;
    EXPECT_FALSE(instance->TryGetPlayerState("Player2048", stored));

    // A single newcomer is refused on his own; a known player still moves.
    broadcasts.Clear();
    instance->OnPlayerStateUpdate(Player("Newcomer", {1, 0, 0}, 10));
    instance->OnPlayerStateUpdate(Player("Player0", {5, 0, 0}, 30));
    EXPECT_EQ(broadcasts.Errors(), std::vector<std::string>{refusal});
    ASSERT_TRUE(instance->TryGetPlayerState("Player0", stored));
    EXPECT_EQ(stored->Voice().VoiceRange, 30.0f);

    // A removal makes room again.
    broadcasts.Clear();
    instance->OnPlayerRemove(Player("Player1", {}, 0));
    instance->OnPlayerStateUpdate(Player("Newcomer", {1, 0, 0}, 10));
    EXPECT_TRUE(broadcasts.Errors().empty());
    EXPECT_TRUE(instance->TryGetPlayerState("Newcomer", stored));
}

} // namespace
} // namespace Tralvonic::Test
