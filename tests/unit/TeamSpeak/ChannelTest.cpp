// ChannelObject: the tree, who is inside, renaming, moving clients in and muting them, and the
// fallbacks when the host cannot answer.

#include "HostObjectFixture.h"

#include <gmock/gmock.h>

namespace TeamSpeak {
namespace {

using testing::ElementsAre;
using testing::StartsWith;

using ChannelObject = HostObjects;

TEST_F(ChannelObject, ParentIsMissingAtTheTopWhileAFailedChannelLookupIsZero) {
    const uint64 waiting = tab.AddChannel("Waiting", lobby);

    EXPECT_EQ(Channel(server, waiting).Parent(), Channel(server, lobby));
    EXPECT_FALSE(Channel(server, lobby).Parent().has_value());
    EXPECT_TRUE(CheckLines().empty());

    EXPECT_EQ(Bob().Channel(), Channel(server, lobby));
    sim.FailCall("getChannelOfClient", Error::ClientInvalidId);
    const Channel failed = Bob().Channel();
    EXPECT_TRUE(failed.IsZero());
    EXPECT_EQ(failed, Channel::Zero);
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ClientInvalidId (512) at Client:")));
}

TEST_F(ChannelObject, ClientsInHostOrderOrNoneWithALineNamingTheUnit) {
    const anyID carol = tab.AddClient("Carol", lobby);
    tab.AddClient("Dave", ingame);

    EXPECT_THAT(Channel(server, lobby).Clients(), ElementsAre(Me(), Bob(), Client(server, carol)));

    sim.FailCall("getChannelClientList", Error::ChannelInvalidId);
    EXPECT_TRUE(Channel(server, lobby).Clients().empty());
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ChannelInvalidId (768) at Channel:")));
}

TEST_F(ChannelObject, RenamingFlushesTheChannelAndAZeroChannelIsLeftAlone) {
    Channel(server, ingame).SetName("Briefing");

    EXPECT_EQ(Count("setChannelVariableAsString"), 1u);
    EXPECT_EQ(Count("flushChannelUpdates"), 1u);
    EXPECT_EQ(Channel(server, ingame).Name(), "Briefing");

    ForgetCalls();
    Channel(server, 0).SetName("Nowhere");
    Channel::Zero.SetName("Nowhere");
    EXPECT_TRUE(sim.Record().All().empty());
}

TEST_F(ChannelObject, JoinPassesThePasswordOrEmptyTextAndReturnsTheHostsCode) {
    EXPECT_EQ(Channel(server, ingame).Join("secret"), Error::Ok);
    auto move = sim.LastCall("requestClientMove");
    ASSERT_TRUE(move);
    EXPECT_EQ(move->NumberArgument(1), me);
    EXPECT_EQ(move->NumberArgument(2), ingame);
    EXPECT_EQ(move->Argument(3), "secret");

    EXPECT_EQ(Channel(server, lobby).Join(Bob()), Error::Ok);
    EXPECT_EQ(sim.LastCall("requestClientMove")->Argument(3), "");

    EXPECT_EQ(Channel(server, 999).Join(Bob()), Error::ChannelInvalidId);
    EXPECT_TRUE(CheckLines().empty()) << "the caller judges the move's answer";

    const std::vector<Client> both{Me(), Bob()};
    Channel(server, ingame).Join(both, "secret");
    const auto moves = sim.Calls("requestClientMove");
    ASSERT_EQ(moves.size(), 5u);
    EXPECT_EQ(moves[3].NumberArgument(1), me);
    EXPECT_EQ(moves[4].NumberArgument(1), bob);
}

TEST_F(ChannelObject, MuteClientsLeavesTheUserOutAndSkipsAnEmptyRequest) {
    const anyID carol = tab.AddClient("Carol", lobby);

    Channel(server, lobby).MuteClients(true);
    auto mute = sim.LastCall("requestMuteClients");
    ASSERT_TRUE(mute);
    EXPECT_EQ(mute->Argument(1), "[" + std::to_string(bob) + ", " + std::to_string(carol) + ", 0]");
    EXPECT_TRUE(Bob().IsLocallyMuted());
    EXPECT_FALSE(Me().IsLocallyMuted());

    Channel(server, lobby).MuteClients(false);
    EXPECT_FALSE(Bob().IsLocallyMuted());

    EXPECT_EQ(Me().Move(Channel(server, ingame), "secret"), Error::Ok);
    ASSERT_TRUE(sim.WaitFor([&] { return tab.ChannelOf(me) == ingame; }));
    Channel(server, ingame).MuteClients(true);
    Channel(server, ingame).MuteClients(false);
    EXPECT_EQ(Count("requestMuteClients"), 1u);
    EXPECT_EQ(Count("requestUnmuteClients"), 1u);
}

TEST_F(ChannelObject, FlagsAreLoggedOnFailureButReadAsTheHostLeftThem) {
    EXPECT_TRUE(Channel(server, lobby).IsSubscibed());
    tab.SetChannelVariable(lobby, CHANNEL_FORCED_SILENCE, "1");
    EXPECT_TRUE(Channel(server, lobby).IsForceSilenced());
    EXPECT_FALSE(Channel(server, ingame).IsForceSilenced());

    sim.FailCall("getChannelVariableAsInt", Error::ChannelInvalidId);
    EXPECT_FALSE(Channel(server, lobby).IsSubscibed());
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ChannelInvalidId (768) at Channel:")));
}

} // namespace
} // namespace TeamSpeak
