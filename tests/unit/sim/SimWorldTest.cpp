// The simulated client's world as the plugin reads and changes it through the host
// functions: answers, SDK error codes, host-allocated results and delayed writes.

#include "SimulatedClient.h"

#include "TeamSpeak/sdk/ErrorCodes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace Tralvonic::Sim {
namespace {

using namespace TeamSpeak;

constexpr unsigned int Code(Error error) {
    return static_cast<unsigned int>(error);
}

class SimWorld : public testing::Test {
protected:
    SimWorld()
        : server(sim.AddServer("uid-1", "Server Name")), lobby(server.AddChannel("Lobby")),
          ingame(server.AddChannel("Ingame", 0, "secret")), support(server.AddChannel("Waiting", lobby)),
          own(server.AddOwnClient("Me", lobby)), bob(server.AddClient("Bob", ingame)),
          functions(sim.Functions()) {}

    std::string TakeString(char* text) {
        std::string value = text != nullptr ? text : "<null>";
        functions.freeMemory(text);
        return value;
    }
    template <typename T> std::vector<T> TakeList(T* list) {
        std::vector<T> values;
        for (T* item = list; item != nullptr && *item != 0; ++item) {
            values.push_back(*item);
        }
        functions.freeMemory(list);
        return values;
    }

    SimulatedClient sim;
    SimServer& server;
    uint64 lobby, ingame, support;
    anyID own, bob;
    const TS3Functions& functions;
};

TEST_F(SimWorld, AnswersTabsChannelsAndClientsWithHostAllocatedResults) {
    uint64* handlers = nullptr;
    ASSERT_EQ(functions.getServerConnectionHandlerList(&handlers), 0u);
    EXPECT_EQ(TakeList(handlers), std::vector<uint64>{server.Handler()});
    EXPECT_EQ(functions.getCurrentServerConnectionHandlerID(), server.Handler());

    anyID me = 0;
    EXPECT_EQ(functions.getClientID(server.Handler(), &me), 0u);
    EXPECT_EQ(me, own);
    uint64* channels = nullptr;
    ASSERT_EQ(functions.getChannelList(server.Handler(), &channels), 0u);
    EXPECT_EQ(TakeList(channels), (std::vector<uint64>{lobby, ingame, support}));
    anyID* inIngame = nullptr;
    ASSERT_EQ(functions.getChannelClientList(server.Handler(), ingame, &inIngame), 0u);
    EXPECT_EQ(TakeList(inIngame), std::vector<anyID>{bob});
    uint64 parent = 99;
    EXPECT_EQ(functions.getParentChannelOfChannel(server.Handler(), support, &parent), 0u);
    EXPECT_EQ(parent, lobby);

    char* nickname = nullptr;
    ASSERT_EQ(functions.getClientVariableAsString(server.Handler(), bob, CLIENT_NICKNAME, &nickname), 0u);
    EXPECT_EQ(TakeString(nickname), "Bob");
    char* name = nullptr;
    ASSERT_EQ(functions.getServerVariableAsString(server.Handler(), VIRTUALSERVER_UNIQUE_IDENTIFIER, &name),
              0u);
    EXPECT_EQ(TakeString(name), "uid-1");
    int subscribed = 0;
    EXPECT_EQ(
        functions.getChannelVariableAsInt(server.Handler(), ingame, CHANNEL_FLAG_ARE_SUBSCRIBED, &subscribed),
        0u);
    EXPECT_EQ(subscribed, 1);

    EXPECT_EQ(sim.Memory().OutstandingBlocks(), 0u);
    EXPECT_EQ(sim.Memory().BlocksHandedOut(), 5u);
}

TEST_F(SimWorld, UnknownIdsGetTheSdkErrorCodes) {
    anyID id = 0;
    uint64 channel = 0;
    char* text = nullptr;
    int value = 0;
    EXPECT_EQ(functions.getClientID(42, &id), Code(Error::InvalidServerConnectionHandlerId));
    EXPECT_EQ(functions.getConnectionStatus(42, &value), Code(Error::InvalidServerConnectionHandlerId));
    EXPECT_EQ(functions.getClientVariableAsString(server.Handler(), 77, CLIENT_NICKNAME, &text),
              Code(Error::ClientInvalidId));
    EXPECT_EQ(functions.getChannelOfClient(server.Handler(), 77, &channel), Code(Error::ClientInvalidId));
    EXPECT_EQ(functions.getChannelVariableAsString(server.Handler(), 77, CHANNEL_NAME, &text),
              Code(Error::ChannelInvalidId));
    EXPECT_EQ(functions.requestClientMove(server.Handler(), own, 77, "", nullptr),
              Code(Error::ChannelInvalidId));
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(sim.Memory().BlocksHandedOut(), 0u);
}

TEST_F(SimWorld, DisconnectedTabAnswersOnlyItsStatus) {
    auto& offline = sim.AddServer("uid-2", "Offline", STATUS_DISCONNECTED);
    int status = -1;
    anyID id = 0;
    EXPECT_EQ(functions.getConnectionStatus(offline.Handler(), &status), 0u);
    EXPECT_EQ(status, STATUS_DISCONNECTED);
    EXPECT_EQ(functions.getClientID(offline.Handler(), &id), Code(Error::NotConnected));
    EXPECT_EQ(functions.getConnectionStatus(server.Handler(), &status), 0u);
    EXPECT_EQ(status, STATUS_CONNECTION_ESTABLISHED);
}

TEST_F(SimWorld, OwnVariablesChangeOnlyOnFlush) {
    ASSERT_EQ(functions.setClientSelfVariableAsString(server.Handler(), CLIENT_NICKNAME, "Jörg"), 0u);
    ASSERT_EQ(functions.setClientSelfVariableAsInt(server.Handler(), CLIENT_INPUT_MUTED, 1), 0u);
    EXPECT_EQ(server.Own().Nickname(), "Me");
    EXPECT_FALSE(server.Own().IsInputMuted());

    ASSERT_EQ(functions.flushClientSelfUpdates(server.Handler(), nullptr), 0u);
    EXPECT_EQ(server.Own().Nickname(), "Jörg");
    EXPECT_TRUE(server.Own().IsInputMuted());
    // Variables that belong to the server cannot be written.
    EXPECT_EQ(functions.setClientSelfVariableAsString(server.Handler(), CLIENT_UNIQUE_IDENTIFIER, "x"),
              Code(Error::ParameterInvalid));
}

TEST_F(SimWorld, ChannelEditsChangeOnlyOnFlush) {
    ASSERT_EQ(functions.setChannelVariableAsString(server.Handler(), support, CHANNEL_NAME, "Support"), 0u);
    EXPECT_EQ(server.Channel(support).Name(), "Waiting");
    ASSERT_EQ(functions.flushChannelUpdates(server.Handler(), support, nullptr), 0u);
    EXPECT_EQ(server.Channel(support).Name(), "Support");
}

TEST_F(SimWorld, ConnectInfoFillsTheCallersBufferOrRefusesWhenTooSmall) {
    server.SetConnectInfo("voice.example.org", 9988);
    server.SetServerAddress("203.0.113.5", 9987);
    char host[256] = {};
    unsigned short port = 0;
    ASSERT_EQ(functions.getServerConnectInfo(server.Handler(), host, &port, nullptr, sizeof host), 0u);
    EXPECT_STREQ(host, "voice.example.org");
    EXPECT_EQ(port, 9988);
    char tiny[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(functions.getServerConnectInfo(server.Handler(), tiny, &port, nullptr, sizeof tiny),
              Code(Error::ParameterInvalidSize));
    EXPECT_EQ(tiny[0], 'x');

    char* ip = nullptr;
    char* serverPort = nullptr;
    ASSERT_EQ(functions.getConnectionVariableAsString(server.Handler(), own, CONNECTION_SERVER_IP, &ip), 0u);
    ASSERT_EQ(
        functions.getConnectionVariableAsString(server.Handler(), own, CONNECTION_SERVER_PORT, &serverPort),
        0u);
    EXPECT_EQ(TakeString(ip) + ":" + TakeString(serverPort), "203.0.113.5:9987");
}

TEST_F(SimWorld, WhisperListsKeepMissingApartFromEmpty) {
    const anyID clients[] = {bob, 0};
    ASSERT_EQ(functions.requestClientSetWhisperList(server.Handler(), own, nullptr, clients, nullptr), 0u);
    auto list = server.Whispers();
    ASSERT_TRUE(list);
    EXPECT_FALSE(list->Channels);
    EXPECT_EQ(list->Clients, std::vector<anyID>{bob});

    const uint64 noChannels[] = {0};
    ASSERT_EQ(functions.requestClientSetWhisperList(server.Handler(), 0, noChannels, nullptr, nullptr), 0u);
    ASSERT_TRUE(server.Whispers(own)->Channels);
    EXPECT_TRUE(server.Whispers(own)->Channels->empty());
    EXPECT_EQ(functions.requestClientSetWhisperList(server.Handler(), 77, nullptr, nullptr, nullptr),
              Code(Error::ClientInvalidId));
}

TEST_F(SimWorld, PositionsMutesAndPreProcessorAreKept) {
    const TS3_VECTOR position{1.5f, -2, 3};
    const TS3_VECTOR forward{0, 0, 1};
    ASSERT_EQ(functions.channelset3DAttributes(server.Handler(), bob, &position), 0u);
    ASSERT_EQ(functions.systemset3DListenerAttributes(server.Handler(), &position, &forward, nullptr), 0u);
    EXPECT_EQ(server.PositionOf(bob)->x, 1.5f);
    EXPECT_EQ(server.Listener().Forward.z, 1.0f);
    EXPECT_EQ(sim.LastCall("channelset3DAttributes")->Argument(2), "(1.5, -2, 3)");

    const anyID muted[] = {bob, 0};
    ASSERT_EQ(functions.requestMuteClients(server.Handler(), muted, nullptr), 0u);
    EXPECT_TRUE(server.Client(bob).IsLocallyMuted());
    EXPECT_EQ(sim.LastCall("requestMuteClients")->Argument(1), "[" + std::to_string(bob) + ", 0]");
    ASSERT_EQ(functions.requestUnmuteClients(server.Handler(), muted, nullptr), 0u);
    EXPECT_FALSE(server.Client(bob).IsLocallyMuted());

    char* vad = nullptr;
    ASSERT_EQ(functions.setPreProcessorConfigValue(server.Handler(), "vad", "true"), 0u);
    ASSERT_EQ(functions.getPreProcessorConfigValue(server.Handler(), "vad", &vad), 0u);
    EXPECT_EQ(TakeString(vad), "true");
}

TEST_F(SimWorld, WavePlaybacksNeedAWaveFileAndTrackTheirHandles) {
    const auto path =
        std::filesystem::temp_directory_path() / ("sim-world-" + std::to_string(::getpid()) + ".wav");
    {
        std::ofstream wave(path, std::ios::binary);
        wave << "RIFF" << std::string(4, '\0') << "WAVEfmt ";
    }
    uint64 handle = 0;
    EXPECT_EQ(functions.playWaveFileHandle(server.Handler(), "/nonexistent/x.wav", 0, &handle),
              Code(Error::SoundOpenWave));
    ASSERT_EQ(functions.playWaveFileHandle(server.Handler(), path.string().c_str(), 1, &handle), 0u);
    ASSERT_EQ(functions.pauseWaveFileHandle(server.Handler(), handle, 1), 0u);
    auto playback = server.Playbacks().at(0);
    EXPECT_EQ(playback.Path, path.string());
    EXPECT_TRUE(playback.Loop);
    EXPECT_TRUE(playback.Paused);
    ASSERT_EQ(functions.closeWaveFileHandle(server.Handler(), handle), 0u);
    EXPECT_TRUE(server.Playbacks().at(0).Closed);
    EXPECT_NE(functions.closeWaveFileHandle(server.Handler(), handle), 0u);
    std::filesystem::remove(path);
}

TEST_F(SimWorld, ChatTextGetsLinksAndReachesTheCurrentTab) {
    char buffer[64];
    functions.urlsToBB("see https://example.org/a now", buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "see [URL]https://example.org/a[/URL] now");
    char small[8];
    functions.urlsToBB("see https://example.org/a now", small, sizeof small);
    EXPECT_STREQ(small, "see [UR");
    functions.printMessageToCurrentTab(buffer);
    EXPECT_EQ(sim.ChatMessages(), std::vector<std::string>{buffer});
}

TEST_F(SimWorld, PermissionIdsByNameAndBack) {
    sim.SetPermissionId("i_client_whisper_power", 71);
    unsigned int id = 0;
    EXPECT_EQ(functions.getPermissionIDByName(server.Handler(), "i_client_whisper_power", &id), 0u);
    EXPECT_EQ(id, 71u);
    EXPECT_EQ(functions.getPermissionIDByName(server.Handler(), "nope", &id),
              Code(Error::PermissionInvalidPermId));
    char name[64];
    EXPECT_EQ(functions.getPermissionNameByID(server.Handler(), 71, name, sizeof name), 0u);
    EXPECT_STREQ(name, "i_client_whisper_power");
}

TEST_F(SimWorld, InjectedFaultAnswersTheChosenCallOnly) {
    sim.FailCall("getClientID", Error::ConnectionLost, 2);
    anyID id = 0;
    EXPECT_EQ(functions.getClientID(server.Handler(), &id), 0u);
    EXPECT_EQ(functions.getClientID(server.Handler(), &id), Code(Error::ConnectionLost));
    EXPECT_EQ(functions.getClientID(server.Handler(), &id), 0u);
}

} // namespace
} // namespace Tralvonic::Sim
