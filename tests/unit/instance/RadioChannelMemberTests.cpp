// The two radio channels' member lists and the tower list: what each message leaves in them,
// the placeholder players members get, and messages whose list is missing.

#include "unit/instance/IngameFixture.h"

namespace Tralvonic::Test {
namespace {

using Members = std::vector<std::string>;

class RadioChannelMembers : public IngameTest {
protected:
    void SetUp() override { StartIngame(); }
};

TEST_F(RadioChannelMembers, AddingListsANameOnceAndGivesItAPlaceholderPlayer) {
    instance->OnPlayerStateUpdate(Player("Anna", {5, 5, 5}, 10));
    instance->OnAddRadioChannelMember({"Anna", true});
    instance->OnAddRadioChannelMember({"Ben", true});
    instance->OnAddRadioChannelMember({"Anna", true});
    instance->OnAddRadioChannelMember({"Player", true});
    instance->OnAddRadioChannelMember({"Carl", false});

    EXPECT_EQ(*instance->PrimaryRadioChannelMembers(), (Members{"Anna", "Ben"}));
    EXPECT_EQ(*instance->SecondaryRadioChannelMembers(), Members{"Carl"});
    // The known player keeps his state; the new ones wait, out of reach, for their first update.
    EXPECT_EQ(*Stored("Anna")->Voice().Position, TeamSpeak::TSVector(5, 5, 5));
    const auto ben = Stored("Ben")->Voice();
    EXPECT_EQ(ben.Position, TeamSpeak::TSVector::Zero);
    EXPECT_TRUE(ben.DistanceCulled);
    std::shared_ptr<PlayerState> own;
    EXPECT_FALSE(instance->TryGetPlayerState("Player", own));
    EXPECT_EQ(WhisperRequests(), 0u);
}

TEST_F(RadioChannelMembers, AnUpdateStoresTheListAsSentAndRemovalTakesTheFirstOccurrence) {
    instance->OnUpdateRadioChannelMembers({Members{"Anna", "Player", "Anna", "Ben"}, false});
    EXPECT_EQ(*instance->SecondaryRadioChannelMembers(), (Members{"Anna", "Player", "Anna", "Ben"}));
    EXPECT_EQ(instance->PlayerStateCount(), 2u);

    instance->OnRemoveRadioChannelMember({"Anna", false});
    EXPECT_EQ(*instance->SecondaryRadioChannelMembers(), (Members{"Player", "Anna", "Ben"}));
    instance->OnRemoveRadioChannelMember({"Nobody", false});
    instance->OnRemoveRadioChannelMember({"Ben", true});
    EXPECT_EQ(*instance->SecondaryRadioChannelMembers(), (Members{"Player", "Anna", "Ben"}));
    EXPECT_TRUE(instance->PrimaryRadioChannelMembers()->empty());
}

TEST_F(RadioChannelMembers, MessagesWithoutTheirListReadAsEmptyAndAreLogged) {
    instance->OnUpdateRadioChannelMembers({Members{"Anna"}, true});
    instance->OnRadioTowerUpdate(Model::RadioTower{std::vector<Model::Tower>{Model::Tower{}}});
    ASSERT_EQ(instance->RadioTowers()->size(), 1u);

    instance->OnAddRadioChannelMember({"", true});
    EXPECT_TRUE(HasLogLine("An AddRadioChannelMember had no PlayerName, nothing added."));
    instance->OnRemoveRadioChannelMember({" ", true});
    EXPECT_TRUE(HasLogLine("A RemoveRadioChannelMember had no PlayerName, nothing removed."));
    EXPECT_EQ(*instance->PrimaryRadioChannelMembers(), Members{"Anna"});

    instance->OnUpdateRadioChannelMembers({std::nullopt, true});
    EXPECT_TRUE(HasLogLine("An UpdateRadioChannelMembers had no PlayerNames, emptied the channel."));
    EXPECT_TRUE(instance->PrimaryRadioChannelMembers()->empty());
    instance->OnRadioTowerUpdate(Model::RadioTower{});
    EXPECT_TRUE(HasLogLine("A RadioTowerUpdate had no Towers, removed every radio tower."));
    EXPECT_TRUE(instance->RadioTowers()->empty());
}

} // namespace
} // namespace Tralvonic::Test
