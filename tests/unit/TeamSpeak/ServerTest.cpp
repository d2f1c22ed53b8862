// Server tabs as the plugin sees them: which tabs count as connected, finding one by its
// unique identifier, the own client, sounds and the server and connection variables.

#include "HostObjectFixture.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

namespace TeamSpeak {
namespace {

using testing::ElementsAre;
using testing::StartsWith;

class ServerObject : public HostObjects {
protected:
    std::vector<uint64> ConnectedIds() {
        std::vector<uint64> ids;
        for (const Server& each : Server::ConnectedServers()) {
            ids.push_back(each.Id());
        }
        return ids;
    }
};

TEST_F(ServerObject, ConnectedServersAreTheEstablishedTabsInHostOrder) {
    const uint64 connecting = sim.AddServer("uid-beta", "Beta", STATUS_CONNECTING).Handler();
    const uint64 gamma = sim.AddServer("uid-gamma", "Gamma").Handler();
    sim.AddServer("uid-delta", "Delta", STATUS_DISCONNECTED);
    sim.AddServer("uid-epsilon", "Epsilon", STATUS_CONNECTION_ESTABLISHING);

    EXPECT_THAT(ConnectedIds(), ElementsAre(server.Id(), gamma));
    EXPECT_EQ(Server(connecting).ConnectionStatus(), STATUS_CONNECTING);
}

TEST_F(ServerObject, ConnectedServersIsEmptyWhenTheHostCannotListTabs) {
    sim.FailCall("getServerConnectionHandlerList", Error::Undefined);

    EXPECT_TRUE(ConnectedIds().empty());
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("Undefined (1) at Server:")));
}

TEST_F(ServerObject, TryGetServerMatchesTheUniqueIdentifierExactly) {
    const uint64 gamma = sim.AddServer("uid-gamma", "Gamma").Handler();
    sim.AddServer("uid-beta", "Beta", STATUS_CONNECTING);

    Server found;
    ASSERT_TRUE(Server::TryGetServer("uid-gamma", found));
    EXPECT_EQ(found.Id(), gamma);
    EXPECT_FALSE(Server::TryGetServer("UID-GAMMA", found));
    EXPECT_FALSE(Server::TryGetServer("uid-gam", found));
    EXPECT_FALSE(Server::TryGetServer("uid-beta", found)) << "a tab still connecting does not count";
    EXPECT_EQ(found.Id(), gamma) << "a failed lookup leaves the out value alone";
}

TEST_F(ServerObject, LocalClientIsTheOwnClientOrZeroWithOneLineNamingTheUnit) {
    EXPECT_EQ(server.LocalClient().Id(), me);
    EXPECT_TRUE(CheckLines().empty());

    sim.FailCall("getClientID", Error::ClientInvalidId);
    EXPECT_TRUE(server.LocalClient().IsZero());
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ClientInvalidId (512) at Server:")));
}

TEST_F(ServerObject, ChannelsAreFoundByIdAndByExactName) {
    Channel found;
    ASSERT_TRUE(server.TryGetChannel(ingame, found));
    EXPECT_EQ(found, Channel(server, ingame));
    ASSERT_TRUE(server.TryGetChannel("Lobby", found));
    EXPECT_EQ(found.Id(), lobby);
    EXPECT_FALSE(server.TryGetChannel("lobby", found));
    EXPECT_FALSE(server.TryGetChannel(uint64{999}, found));

    sim.FailCall("getChannelList", Error::Undefined);
    EXPECT_TRUE(server.Channels().empty());
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("Undefined (1) at Server:")));
}

TEST_F(ServerObject, SoundsPlayPauseAndStopByTheHostsHandle) {
    const auto path = (std::filesystem::path(testing::TempDir()) / "server-test-tone.wav").string();
    const char header[] = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'};
    std::ofstream(path, std::ios::binary).write(header, sizeof header);

    const uint64 handle = server.PlaySound(path, true);
    ASSERT_NE(handle, 0u);
    server.PauseSound(handle, true);
    auto playbacks = tab.Playbacks();
    ASSERT_EQ(playbacks.size(), 1u);
    EXPECT_EQ(playbacks[0].Handle, handle);
    EXPECT_TRUE(playbacks[0].Loop);
    EXPECT_TRUE(playbacks[0].Paused);

    server.StopSound(handle);
    EXPECT_TRUE(tab.Playbacks()[0].Closed);
    EXPECT_EQ(server.PlaySound(path + ".missing", false), 0u);
    server.PlaySound(path);
    EXPECT_EQ(Count("playWaveFile"), 1u);
    EXPECT_TRUE(CheckLines().empty()) << "sound codes are not checked";
    std::filesystem::remove(path);
}

TEST_F(ServerObject, VariablesAndConnectionDetails) {
    EXPECT_EQ(server.UniqueIdentifier(), "uid-alpha");
    EXPECT_EQ(server.Name(), "Alpha");
    EXPECT_EQ(server.Platform(), "Linux");
    EXPECT_EQ(server.MaxClients(), 32);
    EXPECT_EQ(server.ConnectionString(), "192.0.2.1:9987");
    EXPECT_EQ(server.ConnectionInfo(), (ServerConnectionInfo{"ts1.example.org", 9987}));

    ForgetCalls();
    EXPECT_EQ(server.OnlineClients(), 2);
    const auto calls = sim.Record().All();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].Function, "requestServerVariables");
    EXPECT_EQ(calls[1].Function, "getServerVariableAsInt");
}

TEST_F(ServerObject, UnreadableVariablesFallBackSilently) {
    tab.SetStatus(STATUS_DISCONNECTED);

    EXPECT_TRUE(server.IsZero());
    EXPECT_EQ(server.UniqueIdentifier(), "");
    EXPECT_EQ(server.MaxClients(), 0);
    EXPECT_EQ(server.ConnectionString(), ":");
    EXPECT_EQ(server.CodecEncryptionMode(), CODEC_ENCRYPTION_PER_CHANNEL);
    // Only the own-client lookup of the connection string is a checked call.
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("NotConnected (1794) at Server:")));
}

} // namespace
} // namespace TeamSpeak
