// A real browser as the game client: headless Chromium, driven by playwright-core
// (tests/js/browser.js), sends the Origin of the page it runs.

#include "unit/link/LinkFixture.h"

namespace Tralvonic::Test {
namespace {

constexpr std::chrono::milliseconds BrowserTimeout{60000};

class WebSocketBrowser : public LinkTest {
protected:
    // The page's outcome as one JSON line: {"origin","opened","reply","closeCode"}.
    std::string OpenPage(const WebSocket& server, std::vector<std::string> mode) {
        std::vector<std::string> argv{"node", ScriptPath("browser.js").string(), *server.Address()};
        argv.insert(argv.end(), mode.begin(), mode.end());
        ChildProcess browser(argv);
        return browser.ReadLine(BrowserTimeout).value_or("(no outcome)");
    }

    // The handler is complete before the I/O threads start: they read it unsynchronised.
    std::unique_ptr<WebSocket> StartEchoServer() {
        auto server = std::make_unique<WebSocket>("127.0.0.1:0");
        server->SetMessageHandler(
            [this, server = server.get()](const std::shared_ptr<Connection>& from, const std::string& text) {
                Recorder.Add(from, text);
                server->Send(from, "echo: " + text);
            });
        server->Start();
        return server;
    }
};

TEST_F(WebSocketBrowser, PageFromTheAllowedHttpOriginConnects) {
    const auto server = StartEchoServer();
    const auto outcome = OpenPage(*server, {"http", "38089"});
    EXPECT_NE(outcome.find(R"("origin":"http://127.0.0.1:38089")"), std::string::npos) << outcome;
    EXPECT_NE(outcome.find(R"("reply":"echo: hello from the page")"), std::string::npos) << outcome;
    EXPECT_TRUE(WaitForLog(LogChannel::WebSocketOnOpen, " | Origin: http://127.0.0.1:38089"));
    EXPECT_TRUE(LogsOn(LogChannel::WebSocketForbiddenOrigin).empty());
}

TEST_F(WebSocketBrowser, PageFromAFileConnectsWithOriginNull) {
    const auto server = StartEchoServer();
    const auto outcome = OpenPage(*server, {"file"});
    // The page calls itself "file://"; its handshake says "null".
    EXPECT_NE(outcome.find(R"("origin":"file://")"), std::string::npos) << outcome;
    EXPECT_NE(outcome.find(R"("reply":"echo: hello from the page")"), std::string::npos) << outcome;
    const auto opened = LogsOn(LogChannel::WebSocketOnOpen);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].Message.ends_with(" | Origin: null")) << opened[0].Message;
}

TEST_F(WebSocketBrowser, PageFromAnotherHttpOriginIsRefused) {
    const auto server = StartEchoServer();
    const auto outcome = OpenPage(*server, {"http", "0"});
    EXPECT_NE(outcome.find(R"("reply":null)"), std::string::npos) << outcome;
    EXPECT_NE(outcome.find(R"("closeCode":1008)"), std::string::npos) << outcome;
    EXPECT_TRUE(
        WaitForLog(LogChannel::WebSocketForbiddenOrigin, "Connections from origin \"http://127.0.0.1:"));
    EXPECT_TRUE(Recorder.All().empty());
}

} // namespace
} // namespace Tralvonic::Test
