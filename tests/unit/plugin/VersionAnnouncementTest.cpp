// The plugin version in the user's own client meta data: set on every connected server after
// a good start and on each newly established connection, withdrawn at the stop, and never
// announced by a plugin whose game link failed to start.

#include "support/OccupiedPort.h"
#include "unit/plugin/PluginFixture.h"

namespace Tralvonic::Test {
namespace {

using VersionAnnouncement = PluginTest;

TEST_F(VersionAnnouncement, StartAnnouncesOnEveryConnectedServerAndStopWithdrawsIt) {
    auto& first = AddServer("uid-first");
    auto& connecting = AddServer("uid-connecting", TeamSpeak::STATUS_CONNECTING);
    auto& second = AddServer("uid-second");
    // Other plugins' elements stay as they are.
    second.SetClientVariable(second.OwnClient(), TeamSpeak::CLIENT_META_DATA, "<Other>7</Other>");

    ASSERT_EQ(StartPlugin(), 0);

    EXPECT_TRUE(IsAnnounced(first));
    EXPECT_TRUE(IsAnnounced(second));
    EXPECT_FALSE(IsAnnounced(connecting));
    EXPECT_EQ(second.Own().MetaData(), "<Other>7</Other><Tralvonic>3.1.2</Tralvonic>");

    StopPlugin();

    EXPECT_FALSE(IsAnnounced(first));
    EXPECT_EQ(second.Own().MetaData(), "<Other>7</Other>");
}

TEST_F(VersionAnnouncement, EstablishedConnectionIsAnnouncedWithoutAnyGame) {
    auto& server = AddServer("uid-later", TeamSpeak::STATUS_DISCONNECTED);
    ASSERT_EQ(StartPlugin(), 0);
    ASSERT_FALSE(IsAnnounced(server));

    server.ChangeStatus(TeamSpeak::STATUS_CONNECTING);
    server.ChangeStatus(TeamSpeak::STATUS_CONNECTED);
    server.ChangeStatus(TeamSpeak::STATUS_CONNECTION_ESTABLISHING);
    Settle();
    EXPECT_FALSE(IsAnnounced(server));

    server.ChangeStatus(TeamSpeak::STATUS_CONNECTION_ESTABLISHED);
    Settle();
    EXPECT_TRUE(IsAnnounced(server));
}

TEST_F(VersionAnnouncement, EstablishedConnectionOfAGameServerIsAnnouncedAndReachesItsInstance) {
    auto& server = AddServer("uid-game", TeamSpeak::STATUS_DISCONNECTED);
    const auto ingame = server.AddChannel("Ingame");
    ASSERT_EQ(StartPlugin(), 0);
    const auto instance = MakeInstance("uid-game", ingame);
    Base::AddGameInstance(instance);

    server.ChangeStatus(TeamSpeak::STATUS_CONNECTION_ESTABLISHED);
    Settle();

    EXPECT_TRUE(IsAnnounced(server));
    EXPECT_EQ(instance->ServerConnectionHandle(), server.Handler());
}

TEST_F(VersionAnnouncement, FailedGameLinkAnnouncesNothingUntilTheNextConnection) {
    const Testing::OccupiedPort taken;
    Folder.WriteSettings(R"({"ExpertMode":true,"WebSocketAddress":"127.0.0.1:)" +
                         std::to_string(taken.Port()) + R"("})");
    auto& connected = AddServer("uid-connected");
    auto& reconnecting = AddServer("uid-reconnecting");

    EXPECT_EQ(StartPlugin(), 0);
    Settle();
    EXPECT_FALSE(IsAnnounced(connected));
    EXPECT_FALSE(IsAnnounced(reconnecting));

    reconnecting.ChangeStatus(TeamSpeak::STATUS_CONNECTION_ESTABLISHED);
    Settle();
    EXPECT_TRUE(IsAnnounced(reconnecting));
    EXPECT_FALSE(IsAnnounced(connected));
}

} // namespace
} // namespace Tralvonic::Test
