// The console page in headless Chromium (tests/js/console-page.js) against tralvonic-host
// with the built plugin and a game (tests/js/demo-game.js): the page lists the clients and
// shows the game's placement, and its controls change the simulated world through the host's
// own events, which the plugin answers. Screenshots go to artifacts/.

#include "unit/link/ChildProcess.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace Tralvonic::Test {

namespace {

constexpr std::chrono::seconds LineTimeout{30};

// A loopback port nobody listens on right now, for the plugin's game link.
unsigned short FreePort() {
    boost::asio::io_context io;
    boost::asio::ip::tcp::acceptor acceptor(io, {boost::asio::ip::make_address("127.0.0.1"), 0});
    return acceptor.local_endpoint().port();
}

// The host's output as it comes, kept whole for the assertions and the failure message.
class HostOutput {
public:
    explicit HostOutput(ChildProcess& host) : _host(host) {}

    std::optional<std::string> WaitFor(const std::string& text) {
        return _host.WaitForLine(
            [&](const std::string& line) {
                Lines += line + "\n";
                return line.find(text) != std::string::npos;
            },
            LineTimeout);
    }
    bool Saw(const std::string& text) const { return Lines.find(text) != std::string::npos; }

    std::string Lines;

private:
    ChildProcess& _host;
};

class ConsolePage : public testing::Test {
protected:
    ConsolePage()
        : directory(std::filesystem::temp_directory_path() / ("console-page-" + std::to_string(getpid()))) {
        std::filesystem::remove_all(directory);
        const std::filesystem::path plugin = TRALVONIC_PLUGIN_LIBRARY;
        const auto folder = directory / "Tralvonic";
        std::filesystem::create_directories(folder);
        std::filesystem::copy_file(plugin, directory / plugin.filename());
        std::filesystem::copy_file(plugin.parent_path() / "Tralvonic" / TRALVONIC_VOICE_FILE_NAME,
                                   folder / TRALVONIC_VOICE_FILE_NAME);
        link = "127.0.0.1:" + std::to_string(FreePort());
        std::ofstream(folder / "settings.json")
            << R"({"ExpertMode":true,"LogLevel":"Extensive","WebSocketAddress":")" << link << R"("})";
        pluginPath = directory / plugin.filename();
    }
    ~ConsolePage() override { std::filesystem::remove_all(directory); }

    std::filesystem::path directory;
    std::filesystem::path pluginPath;
    std::string link;
};

TEST_F(ConsolePage, ListsTheScenePlacesTheGamesPlayersAndActsAsTheHost) {
    ChildProcess host(
        {TRALVONIC_HOST_PROGRAM, pluginPath.string(), "--console-port", "0", "--game-link", link});
    HostOutput output(host);
    const auto address = output.WaitFor("[sim] console at http://127.0.0.1:");
    ASSERT_TRUE(address) << output.Lines;
    const std::string url = address->substr(address->find("http://"));
    ASSERT_TRUE(output.WaitFor("[sim] running")) << output.Lines;

    // The game stays answering for the whole test; the page waits for its placement.
    ChildProcess game({"node", (std::filesystem::path(TRALVONIC_TEST_SCRIPTS) / "demo-game.js").string(),
                       "ws://" + link, "120"});
    ASSERT_TRUE(game.WaitForPrefix("[game] connected", LineTimeout));
    ChildProcess page({"node", (std::filesystem::path(TRALVONIC_TEST_SCRIPTS) / "console-page.js").string(),
                       url, TRALVONIC_TEST_ARTIFACTS});
    std::vector<std::string> steps;
    for (;;) {
        const auto line = page.ReadLine(std::chrono::seconds(120));
        ASSERT_TRUE(line) << "the page script ended early after " << steps.size() << " steps";
        if (*line == "done") {
            break;
        }
        ASSERT_TRUE(line->starts_with("step ")) << *line << "\n" << output.Lines;
        steps.push_back(line->substr(5));
    }
    EXPECT_EQ(steps.size(), 11u);

    host.WriteLine("quit");
    ASSERT_TRUE(output.WaitFor("[sim] plugin unloaded")) << output.Lines;
    // Every control went through the host's own events, and the plugin answered them.
    EXPECT_TRUE(output.Saw("[console] Carl moved to Lobby")) << output.Lines;
    EXPECT_TRUE(output.Saw("[console] Bob talks"));
    EXPECT_TRUE(output.Saw("[console] Hero talks"));
    EXPECT_TRUE(output.Saw("[console] Alice muted"));
    EXPECT_TRUE(output.Saw("[console] Hero muted his microphone"));
    EXPECT_TRUE(output.Saw("[console] disconnected from the server"));
    EXPECT_TRUE(output.Saw("[console] connected to the server"));
    EXPECT_TRUE(output.Saw(R"("Command":11)")) << "no talk state sent";
    EXPECT_TRUE(output.Saw(R"("Command":6)")) << "no sound state sent";
    for (const char* picture : {"console-in-game.png", "console-controls.png", "console-disconnected.png",
                                "console-game-view.png"}) {
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(TRALVONIC_TEST_ARTIFACTS) / picture))
            << picture;
    }
}

} // namespace

} // namespace Tralvonic::Test
