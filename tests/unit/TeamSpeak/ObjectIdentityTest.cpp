// When two servers, channels or clients are the same: handler ids for `==` on servers,
// unique identifiers for Equals and for channels and clients, so that two tabs on one
// server agree; zero objects; hashes that agree with equality; text forms.

#include "HostObjectFixture.h"

#include <unordered_set>

namespace TeamSpeak {
namespace {

class HostObjectIdentity : public HostObjects {
protected:
    HostObjectIdentity()
        : secondTab(sim.AddServer("uid-alpha", "Alpha again")), secondLobby(secondTab.AddChannel("Lobby")),
          secondMe(secondTab.AddOwnClient("Me", secondLobby)), other(sim.AddServer("uid-other", "Other")),
          otherLobby(other.AddChannel("Lobby")), otherMe(other.AddOwnClient("Me", otherLobby)) {}

    Tralvonic::Sim::SimServer& secondTab;
    uint64 secondLobby;
    anyID secondMe;
    Tralvonic::Sim::SimServer& other;
    uint64 otherLobby;
    anyID otherMe;
};

TEST_F(HostObjectIdentity, TwoTabsOnOneServerAreDifferentTabsOfTheSameServer) {
    const Server first = server;
    const Server second(secondTab.Handler());
    ASSERT_EQ(me, secondMe);
    ASSERT_EQ(lobby, secondLobby);

    EXPECT_FALSE(first == second);
    EXPECT_TRUE(first.Equals(second));
    EXPECT_EQ(first.GetHashCode(), second.GetHashCode());
    EXPECT_EQ(Client(first, me), Client(second, me));
    EXPECT_EQ(Channel(first, lobby), Channel(second, lobby));
    EXPECT_EQ(std::hash<Client>{}(Client(first, me)), std::hash<Client>{}(Client(second, me)));
}

TEST_F(HostObjectIdentity, SameIdsOnAnotherServerOrOtherIdsOnTheSameServerDiffer) {
    const Server third(other.Handler());
    ASSERT_EQ(me, otherMe);

    EXPECT_FALSE(server.Equals(third));
    EXPECT_NE(Client(server, me), Client(third, me));
    EXPECT_NE(Channel(server, lobby), Channel(third, lobby));
    EXPECT_NE(Me(), Bob());
    EXPECT_NE(Channel(server, lobby), Channel(server, ingame));

    std::unordered_set<Client> clients{Me(), Bob(), Client(Server(secondTab.Handler()), me)};
    EXPECT_EQ(clients.size(), 2u);
}

TEST_F(HostObjectIdentity, ComparingTabsByHandlerAsksTheHostNothing) {
    ForgetCalls();
    EXPECT_TRUE(server == Server(server.Id()));
    EXPECT_TRUE(Me() == Client(Server(server.Id()), me));
    EXPECT_TRUE(sim.Record().All().empty());
}

TEST_F(HostObjectIdentity, ZeroObjectsAreEqualWhateverTheirIds) {
    tab.SetStatus(STATUS_DISCONNECTED);
    EXPECT_TRUE(Server::Zero.IsZero());
    EXPECT_TRUE(server.IsZero());
    EXPECT_TRUE(server == Server::Zero) << "a disconnected tab counts as none";
    EXPECT_FALSE(Server(secondTab.Handler()) == Server::Zero);

    const Channel serverless(std::nullopt, lobby);
    const Channel idless(Server(secondTab.Handler()), 0);
    EXPECT_TRUE(serverless.IsZero());
    EXPECT_EQ(serverless, Channel::Zero);
    EXPECT_EQ(idless, serverless);
    EXPECT_EQ(serverless.GetHashCode(), Channel::Zero.GetHashCode());
    EXPECT_EQ(idless.GetHashCode(), Channel::Zero.GetHashCode());
    EXPECT_NE(Channel(Server(secondTab.Handler()), secondLobby), serverless);

    const Client nobody(std::nullopt, bob);
    EXPECT_EQ(nobody, Client::Zero);
    EXPECT_EQ(nobody.GetHashCode(), Client::Zero.GetHashCode());
    EXPECT_NE(Client(Server(secondTab.Handler()), secondMe), Client::Zero);
}

TEST_F(HostObjectIdentity, TextFormsNameIdAndServerIdentifier) {
    EXPECT_EQ(server.ToString(), "uid-alpha");
    EXPECT_EQ(Bob().ToString(), "Client ID: 2 | Server ID: uid-alpha");
    EXPECT_EQ(Channel(server, ingame).ToString(), "Channel ID: 2 | Server ID: uid-alpha");
    EXPECT_EQ(Client::Zero.ToString(), "Client ID: 0 | Server ID: ");
    EXPECT_EQ(Channel(std::nullopt, 7).ToString(), "Channel ID: 7 | Server ID: ");
}

} // namespace
} // namespace TeamSpeak
