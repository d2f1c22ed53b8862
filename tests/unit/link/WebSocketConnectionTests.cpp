// Opening and closing game connections: who is let in by origin, what the log says about
// it, pings, closes from either side and the stop of the whole server.

#include "unit/link/LinkFixture.h"

#include "support/ThreadCount.h"

#include <chrono>

#include <regex>

namespace Tralvonic::Test {
namespace {

using Testing::ThreadCount;
using WebSocketConnection = LinkTest;

TEST_F(WebSocketConnection, WithoutOriginIsAcceptedListedAndLogged) {
    const auto server = StartServer();
    auto client = Connect(*server);
    ASSERT_TRUE(client.Connection);
    const auto& connection = *client.Connection;

    EXPECT_TRUE(std::regex_match(
        connection.Id(), std::regex("[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}")))
        << connection.Id();
    EXPECT_EQ(connection.RemoteAddress(), "127.0.0.1");
    EXPECT_EQ(connection.RemotePort(), client.LocalPort);
    EXPECT_FALSE(connection.Origin().has_value());
    EXPECT_TRUE(connection.IsAvailable());
    EXPECT_EQ(server->OpenConnections(), 1);

    const std::string source =
        "ID: " + connection.Id() + " | Source: 127.0.0.1:" + std::to_string(client.LocalPort);
    const auto opened = LogsOn(LogChannel::WebSocketOnOpen);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].Message, source + " | Origin: ");
    EXPECT_EQ(opened[0].Severity, HostInfo);
    EXPECT_EQ(opened[0].Channel, "Tralvonic");

    server->Broadcast("to everyone");
    EXPECT_TRUE(client.WaitForLine("message to everyone"));

    client.Command("close");
    EXPECT_TRUE(WaitForOpenConnections(*server, 0));
    EXPECT_FALSE(connection.IsAvailable());
    const auto closed = WaitForLog(LogChannel::WebSocketOnClose, source);
    ASSERT_TRUE(closed);
    EXPECT_EQ(closed->Message, source);
    EXPECT_EQ(closed->Severity, HostInfo);
}

TEST_F(WebSocketConnection, OriginsWithoutHttpAreAccepted) {
    const auto server = StartServer();
    std::vector<GameClient> clients;
    for (const std::string origin : {"null", "app://game", "file://"}) {
        const auto& client = clients.emplace_back(Connect(*server, origin));
        ASSERT_TRUE(client.Connection) << origin;
        EXPECT_EQ(client.Connection->Origin(), origin);
        EXPECT_TRUE(WaitForLog(LogChannel::WebSocketOnOpen, " | Origin: " + origin)) << origin;
    }
    EXPECT_EQ(server->OpenConnections(), 3);
    EXPECT_TRUE(LogsOn(LogChannel::WebSocketForbiddenOrigin).empty());
}

TEST_F(WebSocketConnection, OtherHttpOriginsAreRefusedNeverListedNeverServed) {
    const auto server = StartServer();
    auto allowed = Connect(*server);
    for (const std::string origin : {"http://127.0.0.1:38088", "https://example.com"}) {
        auto refused = Spawn(*server, origin);
        refused.Command("send sneaky");
        const std::string warning =
            "Connections from origin \"" + origin + "\" are not allowed, closing connection...";
        const auto line = WaitForLog(LogChannel::WebSocketForbiddenOrigin, warning);
        ASSERT_TRUE(line) << origin;
        EXPECT_EQ(line->Message, warning);
        EXPECT_EQ(line->Severity, HostWarning);

        server->Broadcast("news for " + origin);
        EXPECT_TRUE(allowed.WaitForLine("message news for " + origin));
        EXPECT_EQ(refused.WaitForPrefix("close "), "close 1008");
        for (const auto& skipped : refused.Process->Skipped())
            EXPECT_FALSE(skipped.starts_with("message")) << skipped;
        EXPECT_EQ(server->OpenConnections(), 1);
    }
    for (const auto& message : Recorder.All())
        EXPECT_NE(message.Text, "sneaky");
}

TEST_F(WebSocketConnection, PingIsAnsweredWithItsPayloadAndLoggedAtExtensive) {
    const auto server = StartServer();
    auto client = Connect(*server);
    client.Command("ping quiet");
    EXPECT_TRUE(client.WaitForLine("pong quiet"));
    EXPECT_TRUE(LogsOn(LogChannel::WebSocketOnMessage).empty());

    SetLogLevel(LogLevel::Extensive);
    client.Command("ping payload-1");
    EXPECT_TRUE(client.WaitForLine("pong payload-1"));
    const auto line = WaitForLog(LogChannel::WebSocketOnMessage, "WS Ping received");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->Message, "WS Ping received, sending pong...");
    EXPECT_EQ(line->Severity, HostDebug);
}

TEST_F(WebSocketConnection, ServerSideCloseEndsTheConnection) {
    const auto server = StartServer();
    auto client = Connect(*server);
    ASSERT_TRUE(client.Connection);
    client.Connection->Close();
    EXPECT_EQ(client.WaitForPrefix("close "), "close 1000");
    EXPECT_TRUE(WaitForOpenConnections(*server, 0));
    EXPECT_FALSE(client.Connection->IsAvailable());
    EXPECT_TRUE(WaitForLog(LogChannel::WebSocketOnClose, client.Connection->Id()));
}

TEST_F(WebSocketConnection, StopClosesEveryConnectionAndJoinsItsThreads) {
    const auto threadsBefore = ThreadCount();
    auto server = StartServer();
    const auto serverThreads = ThreadCount() - threadsBefore;
    EXPECT_GT(serverThreads, 0u);
    auto first = Connect(*server);
    auto second = Connect(*server);
    ASSERT_EQ(server->OpenConnections(), 2);
    const auto threadsWithGames = ThreadCount();

    server->Stop();
    // Every thread the server started is joined. The game clients' are not the server's: Wine
    // keeps a thread for each program it starts.
    EXPECT_EQ(ThreadCount(), threadsWithGames - serverThreads);
    EXPECT_EQ(server->OpenConnections(), 0);
    EXPECT_FALSE(server->IsStarted());
    EXPECT_FALSE(server->Address().has_value());
    EXPECT_EQ(LogsOn(LogChannel::WebSocketOnClose).size(), 2u);
    EXPECT_EQ(first.WaitForPrefix("close "), "close 1001");
    EXPECT_EQ(second.WaitForPrefix("close "), "close 1001");

    // Whatever still holds a connection can call it without effect.
    SetLogLevel(LogLevel::Debug);
    server->Send(first.Connection, "too late");
    first.Connection->Close();
    EXPECT_TRUE(LogsOn(LogChannel::WebSocketSendMessage).empty());
}

TEST_F(WebSocketConnection, StopReturnsWithinASecondWhenClientsIgnoreTheClose) {
    const auto threadsBefore = ThreadCount();
    auto server = StartServer();
    const auto serverThreads = ThreadCount() - threadsBefore;
    auto answering = Connect(*server);
    auto silent = Connect(*server);
    silent.Command("pause");
    ASSERT_TRUE(silent.WaitForLine("paused"));
    const auto threadsWithGames = ThreadCount();

    // The host waits for the stop; a client that never answers the handshake must not hold it.
    const auto started = std::chrono::steady_clock::now();
    server->Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    EXPECT_EQ(ThreadCount(), threadsWithGames - serverThreads);
    EXPECT_EQ(server->OpenConnections(), 0);
    EXPECT_EQ(answering.WaitForPrefix("close "), "close 1001");
}

} // namespace
} // namespace Tralvonic::Test
