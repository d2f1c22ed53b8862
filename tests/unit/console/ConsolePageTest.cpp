// The console page in headless Chromium (tests/js/console-page.js) against tralvonic-host
// with the built plugin and a game (tests/js/demo-game.js): the page lists the clients and
// shows the game's placement, and its controls change the simulated world through the host's
// own events, which the plugin answers. Screenshots go to artifacts/.

#include "unit/link/ChildProcess.h"
#include "unit/sim/HostProcess.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
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

// The console's address from the line the host prints once it serves the page.
std::string ConsoleAddress(const std::string& output) {
    const std::string prefix = "[sim] console at ";
    const auto at = output.find(prefix);
    if (at == std::string::npos) {
        return {};
    }
    const auto start = at + prefix.size();
    return output.substr(start, output.find_first_of("\r\n", start) - start);
}

bool Saw(const HostProcess& host, const std::string& text) {
    return host.Output.find(text) != std::string::npos;
}

class ConsolePage : public testing::Test {
protected:
    ConsolePage()
        : directory(std::filesystem::temp_directory_path() /
                    ("console-page-" + std::to_string(std::random_device()()))) {
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
    ~ConsolePage() override {
        std::error_code ignored;
        std::filesystem::remove_all(directory, ignored);
    }

    std::filesystem::path directory;
    std::filesystem::path pluginPath;
    std::string link;
};

TEST_F(ConsolePage, ListsTheScenePlacesTheGamesPlayersAndActsAsTheHost) {
    HostProcess host({pluginPath.string(), "--console-port", "0", "--game-link", link}, {}, LineTimeout);
    ASSERT_TRUE(host.WaitForOutput("[sim] running")) << host.Output;
    const std::string url = ConsoleAddress(host.Output);
    ASSERT_TRUE(url.starts_with("http://127.0.0.1:")) << host.Output;

    // The game stays answering for the whole test; the page waits for its placement.
    ChildProcess game({"node", std::string(TRALVONIC_TEST_SCRIPTS) + "/demo-game.js", "ws://" + link, "120"});
    ASSERT_TRUE(game.WaitForPrefix("[game] connected", LineTimeout));
    ChildProcess page(
        {"node", std::string(TRALVONIC_TEST_SCRIPTS) + "/console-page.js", url, TRALVONIC_TEST_ARTIFACTS});
    std::vector<std::string> steps;
    for (;;) {
        host.Collect(std::chrono::milliseconds(10));
        const auto line = page.ReadLine(std::chrono::seconds(120));
        ASSERT_TRUE(line) << "the page script ended early after " << steps.size() << " steps";
        if (*line == "done") {
            break;
        }
        ASSERT_TRUE(line->starts_with("step ")) << *line << "\n" << host.Output;
        steps.push_back(line->substr(5));
    }
    EXPECT_EQ(steps.size(), 11u);

    host.Interrupt();
    ASSERT_TRUE(host.WaitForOutput("[sim] plugin unloaded")) << host.Output;
    // Every control went through the host's own events, and the plugin answered them.
    EXPECT_TRUE(Saw(host, "[console] Carl moved to Lobby")) << host.Output;
    EXPECT_TRUE(Saw(host, "[console] Bob talks"));
    EXPECT_TRUE(Saw(host, "[console] Hero talks"));
    EXPECT_TRUE(Saw(host, "[console] Alice muted"));
    EXPECT_TRUE(Saw(host, "[console] Hero muted his microphone"));
    EXPECT_TRUE(Saw(host, "[console] disconnected from the server"));
    EXPECT_TRUE(Saw(host, "[console] connected to the server"));
    EXPECT_TRUE(Saw(host, R"("Command":11)")) << "no talk state sent";
    EXPECT_TRUE(Saw(host, R"("Command":6)")) << "no sound state sent";
    for (const char* picture : {"console-in-game.png", "console-controls.png", "console-disconnected.png",
                                "console-game-view.png"}) {
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(TRALVONIC_TEST_ARTIFACTS) / picture))
            << picture;
    }
}

} // namespace

} // namespace Tralvonic::Test
