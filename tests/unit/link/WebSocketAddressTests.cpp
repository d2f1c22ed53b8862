// Where the server listens: the address forms it accepts, its life from created to stopped,
// an address already in use, and IPv6.

#include "unit/link/LinkFixture.h"

namespace Tralvonic::Test {
namespace {

using WebSocketAddress = LinkTest;

TEST_F(WebSocketAddress, OnlyAnIpAddressAndAPortAreAccepted) {
    for (const char* address :
         {"127.0.0.1:38088", "0.0.0.0:38088", "[::]:38088", "[::1]:38088", "10.1.2.3:1"}) {
        const WebSocket server(address);
        EXPECT_EQ(server.Address(), "ws://" + std::string(address));
        EXPECT_FALSE(server.IsStarted());
    }
    for (const char* address :
         {"localhost:38088", "example.com:80", "127.0.0.1", "127.0.0.1:", "127.0.0.1:65536", "127.0.0.1:-1",
          "127.0.0.1:80x", "127.1:38088", "127.0.0.01:38088", "::1:38088", "[::1]38088", "[::1]",
          "[localhost]:1", ""}) {
        try {
            WebSocket server(address);
            ADD_FAILURE() << "accepted " << address;
        } catch (const std::invalid_argument& refusal) {
            EXPECT_NE(std::string(refusal.what()).find("\"" + std::string(address) + "\""), std::string::npos)
                << refusal.what();
        }
    }
}

TEST_F(WebSocketAddress, DefaultServerUsesTheConfiguredAddress) {
    EXPECT_EQ(WebSocket().Address(), "ws://127.0.0.1:38088");
    Configuration configuration;
    configuration.WebSocketAddress = "game.local:38088";
    Base::SetConfiguration(configuration);
    EXPECT_THROW(WebSocket(), std::invalid_argument);
}

TEST_F(WebSocketAddress, LifeRunsFromCreatedToStartedToStoppedOnce) {
    WebSocket server("127.0.0.1:0");
    EXPECT_EQ(server.Address(), "ws://127.0.0.1:0");
    server.Start();
    EXPECT_TRUE(server.IsStarted());
    const auto address = server.Address();
    ASSERT_TRUE(address);
    EXPECT_TRUE(address->starts_with("ws://127.0.0.1:"));
    EXPECT_NE(*address, "ws://127.0.0.1:0");
    EXPECT_THROW(server.Start(), std::runtime_error);
    EXPECT_THROW(server.SetMessageHandler({}), std::logic_error);

    server.Stop();
    EXPECT_FALSE(server.IsStarted());
    EXPECT_FALSE(server.Address().has_value());
    EXPECT_THROW(server.Start(), std::runtime_error);
    server.Stop();
}

TEST_F(WebSocketAddress, AddressInUseFailsTheStartAndLeavesTheOtherServerServing) {
    const auto first = StartServer();
    const std::string port = first->Address()->substr(first->Address()->rfind(':') + 1);
    WebSocket second("127.0.0.1:" + port);
    EXPECT_THROW(second.Start(), std::runtime_error);
    EXPECT_FALSE(second.IsStarted());
    auto client = Connect(*first);
    EXPECT_EQ(first->OpenConnections(), 1);
}

TEST_F(WebSocketAddress, Ipv6LoopbackServesIpv6Clients) {
    const auto server = StartServer("[::1]:0");
    ASSERT_TRUE(server->Address()->starts_with("ws://[::1]:")) << *server->Address();
    auto client = Connect(*server);
    ASSERT_TRUE(client.Connection);
    EXPECT_EQ(client.Connection->RemoteAddress(), "::1");
    EXPECT_TRUE(WaitForLog(LogChannel::WebSocketOnOpen,
                           " | Source: ::1:" + std::to_string(client.LocalPort) + " | "));
}

} // namespace
} // namespace Tralvonic::Test
