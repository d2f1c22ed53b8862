// Text messages from the game: order within a connection, concurrency across connections,
// failures of the handler, binary frames and the size limit.

#include "unit/link/LinkFixture.h"

#include <atomic>

namespace Tralvonic::Test {
namespace {

using WebSocketMessages = LinkTest;

TEST_F(WebSocketMessages, OneConnectionsMessagesAreHandledInArrivalOrder) {
    const auto server = StartServer();
    auto client = Connect(*server);
    constexpr int Count = 500;
    client.Command("sendmany " + std::to_string(Count) + " m");
    ASSERT_TRUE(Recorder.WaitFor([](const auto& messages) { return messages.size() == Count + 1; }));
    const auto messages = Recorder.All();
    for (int i = 0; i < Count; ++i)
        ASSERT_EQ(messages[static_cast<std::size_t>(i) + 1].Text, "m" + std::to_string(i));
}

TEST_F(WebSocketMessages, DifferentConnectionsAreHandledConcurrently) {
    std::mutex mutex;
    std::condition_variable released;
    bool isReleased = false;
    std::atomic<bool> blockedUntilReleased{false};
    OnMessage = [&](const std::shared_ptr<Connection>&, const std::string& text) {
        std::unique_lock lock(mutex);
        if (text == "block")
            blockedUntilReleased = released.wait_for(lock, ClientTimeout, [&] { return isReleased; });
        if (text == "release") {
            isReleased = true;
            released.notify_all();
        }
    };
    const auto server = StartServer();
    auto first = Connect(*server);
    auto second = Connect(*server);

    first.Command("send block");
    ASSERT_TRUE(Recorder.WaitForText("block"));
    // Handled only if the first connection's handler does not hold up the second's.
    second.Command("send release");
    first.Command("send after");
    ASSERT_TRUE(Recorder.WaitForText("after"));
    EXPECT_TRUE(blockedUntilReleased);
}

TEST_F(WebSocketMessages, HandlerFailureIsLoggedAndTheConnectionStaysOpen) {
    OnMessage = [](const std::shared_ptr<Connection>&, const std::string& text) {
        if (text == "bad")
            throw std::runtime_error("broken parameter");
    };
    const auto server = StartServer();
    auto client = Connect(*server);
    client.Command("send bad");
    client.Command("send good");
    EXPECT_TRUE(Recorder.WaitForText("good"));

    const auto line = WaitForLog(LogChannel::WebSocketOnMessage, "Message: bad");
    ASSERT_TRUE(line);
    // The failure's full description follows the line break.
    EXPECT_TRUE(line->Message.starts_with("Message: bad\r\nException: ")) << line->Message;
    EXPECT_TRUE(line->Message.ends_with("broken parameter")) << line->Message;
    EXPECT_EQ(line->Severity, HostError);
    EXPECT_EQ(server->OpenConnections(), 1);
}

TEST_F(WebSocketMessages, BinaryMessagesAreIgnored) {
    const auto server = StartServer();
    auto client = Connect(*server);
    client.Command("sendbinary 16");
    client.Command("send after binary");
    ASSERT_TRUE(Recorder.WaitForText("after binary"));
    const auto messages = Recorder.All();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[1].Text, "after binary");
}

TEST_F(WebSocketMessages, MessageOverOneMebibyteClosesWithCode1009) {
    const auto server = StartServer();
    auto client = Connect(*server);
    client.Command("sendbig 1048576");
    ASSERT_TRUE(Recorder.WaitFor([](const auto& messages) { return messages.size() == 2; }));
    EXPECT_EQ(Recorder.All()[1].Text.size(), 1048576u);

    client.Command("sendbig 1048577");
    EXPECT_EQ(client.WaitForPrefix("close "), "close 1009")
        << ::testing::PrintToString(client.Process->Skipped());
    EXPECT_TRUE(WaitForOpenConnections(*server, 0));
    const auto line = WaitForLog(LogChannel::WebSocketOnMessage, "Message larger than 1048576 bytes");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->Severity, HostWarning);
    EXPECT_EQ(Recorder.All().size(), 2u);
}

} // namespace
} // namespace Tralvonic::Test
