// Sending to the game: one connection or all, from any thread, logged by form, never to a
// closed connection, and never into a queue that grows without bound.

#include "unit/link/LinkFixture.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace Tralvonic::Test {
namespace {

using WebSocketSending = LinkTest;

// Whether a line on `channel` containing `text` has been written by now.
bool HasLogLine(const std::vector<Sim::LogEntry>& entries, const std::string& text) {
    return std::any_of(entries.begin(), entries.end(), [&](const Sim::LogEntry& entry) {
        return entry.Message.find(text) != std::string::npos;
    });
}

TEST_F(WebSocketSending, SendReachesOnlyItsConnection) {
    const auto server = StartServer();
    auto first = Connect(*server);
    auto second = Connect(*server);
    server->Send(first.Connection, "for the first");
    server->Broadcast("for both");
    EXPECT_EQ(first.Process->ReadLine(ClientTimeout), "message for the first");
    EXPECT_EQ(first.Process->ReadLine(ClientTimeout), "message for both");
    EXPECT_EQ(second.Process->ReadLine(ClientTimeout), "message for both");
}

TEST_F(WebSocketSending, SendAndBroadcastFromManyThreadsKeepEachThreadsOrder) {
    const auto server = StartServer();
    std::vector<GameClient> clients;
    for (int i = 0; i < 3; ++i)
        clients.push_back(Connect(*server));

    constexpr int Threads = 4;
    constexpr int PerThread = 150;
    std::vector<std::thread> senders;
    for (int t = 0; t < Threads; ++t) {
        senders.emplace_back([&, t] {
            for (int i = 0; i < PerThread; ++i) {
                const std::string text = std::to_string(t) + " " + std::to_string(i);
                if (t == 0)
                    server->Send(clients[0].Connection, text);
                else
                    server->Broadcast(text);
            }
        });
    }
    for (auto& sender : senders)
        sender.join();

    for (std::size_t c = 0; c < clients.size(); ++c) {
        const int expected = (c == 0 ? Threads : Threads - 1) * PerThread;
        std::vector<int> next(Threads, 0);
        for (int received = 0; received < expected; ++received) {
            const auto line = clients[c].Process->ReadLine(ClientTimeout);
            ASSERT_TRUE(line && line->starts_with("message ")) << "client " << c << " after " << received;
            const int thread = std::stoi(line->substr(8));
            const int index = std::stoi(line->substr(line->rfind(' ') + 1));
            ASSERT_EQ(index, next[static_cast<std::size_t>(thread)])
                << "thread " << thread << " on client " << c;
            ++next[static_cast<std::size_t>(thread)];
        }
    }
}

TEST_F(WebSocketSending, SentTextIsLoggedAtTheLevelOfItsForm) {
    const auto server = StartServer();
    auto client = Connect(*server);
    SetLogLevel(LogLevel::Debug);
    server->Send(client.Connection, "ready text");
    server->Send(client.Connection, R"({"Command":4})", MessageForm::Serialized);
    SetLogLevel(LogLevel::Extensive);
    server->Broadcast(R"({"Command":3})", MessageForm::Serialized);
    EXPECT_TRUE(client.WaitForLine(R"(message {"Command":3})"));

    const auto lines = LogsOn(LogChannel::WebSocketSendMessage);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].Message, "ready text");
    EXPECT_EQ(lines[0].Severity, HostDebug);
    EXPECT_EQ(lines[1].Message, R"({"Command":3})");
}

TEST_F(WebSocketSending, NothingIsSentToAnAbsentOrClosedConnection) {
    SetLogLevel(LogLevel::Debug);
    const auto server = StartServer();
    server->Send(nullptr, "to nobody");
    auto client = Connect(*server);
    client.Command("close");
    ASSERT_TRUE(WaitForOpenConnections(*server, 0));
    server->Send(client.Connection, "to a closed connection");
    server->Broadcast("to an empty list");
    EXPECT_TRUE(LogsOn(LogChannel::WebSocketSendMessage).empty());
}

TEST_F(WebSocketSending, ClientThatStopsReadingIsClosedInsteadOfQueuedForEver) {
    const auto server = StartServer();
    auto client = Connect(*server);
    client.Command("pause");
    ASSERT_TRUE(client.WaitForLine("paused"));

    // Far more than the byte bound plus what the kernel's socket buffers absorb, sent long
    // before the client could count as stalled.
    const std::string chunk(256 * 1024, 'q');
    for (int i = 0; i < 400 && server->OpenConnections() == 1; ++i)
        server->Broadcast(chunk);
    EXPECT_TRUE(WaitForOpenConnections(*server, 0));
    const auto line =
        WaitForLog(LogChannel::WebSocketSendMessage, "the client does not read; closing connection...");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->Severity, HostWarning);
    EXPECT_TRUE(WaitForLog(LogChannel::WebSocketOnClose, client.Connection->Id()));
}

TEST_F(WebSocketSending, ClientThatTakesNothingForTheStallTimeIsClosed) {
    WebSocketLimits limits;
    limits.StalledSendTimeout = std::chrono::milliseconds(300);
    const auto server = StartServer("127.0.0.1:0", limits);
    auto client = Connect(*server);
    client.Command("pause");
    ASSERT_TRUE(client.WaitForLine("paused"));

    // Enough to fill the kernel's socket buffers, well below the byte bound.
    const std::string chunk(1024 * 1024, 'q');
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (server->OpenConnections() == 1 && std::chrono::steady_clock::now() < deadline) {
        server->Broadcast(chunk);
        // Paces the sending; returns early once the connection is gone.
        Sim.WaitFor([&] { return server->OpenConnections() == 0; }, std::chrono::milliseconds(100));
    }
    EXPECT_EQ(server->OpenConnections(), 0);
    const auto line =
        WaitForLog(LogChannel::WebSocketSendMessage,
                   "No message was taken for 300 ms, the client does not read; closing connection...");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->Severity, HostWarning);
}

TEST_F(WebSocketSending, AGameThatReadsSurvivesABurstOfTheHostsMessages) {
    const auto server = StartServer();
    auto client = Connect(*server);
    // Many more than the client can take while they are queued.
    constexpr int Burst = 20000;
    for (int i = 0; i < Burst; ++i)
        server->Broadcast("burst " + std::to_string(i));
    EXPECT_TRUE(client.WaitForLine("message burst " + std::to_string(Burst - 1)));
    EXPECT_EQ(server->OpenConnections(), 1);
    EXPECT_FALSE(HasLogLine(LogsOn(LogChannel::WebSocketSendMessage), "closing connection"));
    for (const auto& entry : LogsOn(LogChannel::WebSocketSendMessage))
        ADD_FAILURE() << entry.Message;
}

} // namespace
} // namespace Tralvonic::Test
