#pragma once
// The whole chain as a player's machine runs it: the built plugin library, loaded into the
// simulated TeamSpeak client from a plugin folder of its own (a copy of the library, the
// Tralvonic folder with settings.json and a voice-effect library), and game scripts that
// talk to the plugin's WebSocket server as the game would (Node.js `ws`). Every test gets a
// fresh copy of the library, so no state carries over between tests.

#include "unit/link/ChildProcess.h"
#include "unit/link/LinkFixture.h"

#include "PluginDriver.h"
#include "SimulatedClient.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <string>

namespace Tralvonic::Test {

// One game script connected to the plugin.
class GameScript {
public:
    explicit GameScript(const std::string& url) {
        std::vector<std::string> argv{"node", ScriptPath("client.js").string(), url};
        // The protocol check validates everything the plugin sent in these tests.
        if (const char* captureFolder = std::getenv("TRALVONIC_PROTOCOL_CAPTURE")) {
            argv.insert(argv.end(), {"--capture", captureFolder});
        }
        _process = std::make_unique<ChildProcess>(argv);
        const auto opened = _process->ReadLine(ClientTimeout);
        IsOpen = opened && opened->starts_with("open ");
    }

    void Send(std::string_view text) { _process->WriteLine("send " + std::string(text)); }

    // The next message that `accept` takes, skipping the others (pings, reports not asked for).
    std::optional<std::string> WaitFor(const std::function<bool(const std::string&)>& accept,
                                       std::chrono::milliseconds timeout = ClientTimeout) {
        const auto line = _process->WaitForLine(
            [&](const std::string& candidate) {
                return candidate.starts_with("message ") && accept(candidate.substr(8));
            },
            timeout);
        if (!line)
            return std::nullopt;
        return line->substr(8);
    }

    // The next message of the command with that number.
    std::optional<std::string> WaitForCommand(int command,
                                              std::chrono::milliseconds timeout = ClientTimeout) {
        const std::string prefix = R"({"Command":)" + std::to_string(command) + ",";
        return WaitFor([&](const std::string& text) { return text.starts_with(prefix); }, timeout);
    }

    std::optional<std::string> WaitForText(const std::string& expected,
                                           std::chrono::milliseconds timeout = ClientTimeout) {
        return WaitFor([&](const std::string& text) { return text == expected; }, timeout);
    }

    // Reads whatever the game printed so far, so that a game that is never waited on does
    // not stall on a full pipe and stop reading its connection.
    void Drain() {
        while (_process->ReadLine(std::chrono::milliseconds(0))) {
        }
    }

    // Every message line skipped so far while waiting.
    const std::vector<std::string>& Skipped() const { return _process->Skipped(); }

    bool IsOpen = false;

private:
    std::unique_ptr<ChildProcess> _process;
};

class GameOnPlugin : public ::testing::Test {
protected:
    static constexpr const char* ServerUid = "game-server-uid=";

    GameOnPlugin() {
        std::random_device random;
        Folder = std::filesystem::temp_directory_path() / ("tralvonic-game-" + std::to_string(random()));
        std::filesystem::create_directories(Folder / "Tralvonic");
        std::filesystem::copy_file(TRALVONIC_PLUGIN_LIBRARY, LibraryPath());
        std::filesystem::copy_file(std::filesystem::path(TEST_EFFECTS_DIRECTORY) / "complete" /
                                       TRALVONIC_VOICE_FILE_NAME,
                                   Folder / "Tralvonic" / TRALVONIC_VOICE_FILE_NAME);
        Port = FreePort();
        BuildWorld();
    }

    ~GameOnPlugin() override {
        Driver.reset();
        std::error_code ignored;
        std::filesystem::remove_all(Folder, ignored);
    }

    // settings.json as the user would have it; ExpertMode keeps the test's address.
    void WriteSettings(int instanceTimeout = 60, const std::string& logLevel = "ExtensiveDebug") {
        std::ofstream(Folder / "Tralvonic" / "settings.json")
            << R"({"WebSocketAddress":"127.0.0.1:)" << Port << R"(","InstanceTimeout":)" << instanceTimeout
            << R"(,"ExpertMode":true,"LogLevel":")" << logLevel << R"("})";
    }

    void StartPlugin(int instanceTimeout = 60) {
        WriteSettings(instanceTimeout);
        Driver = Sim::PluginDriver::Load(Sim, LibraryPath().string());
        ASSERT_EQ(Driver->Start(), 0);
    }

    std::unique_ptr<GameScript> ConnectGame() {
        auto game = std::make_unique<GameScript>("ws://127.0.0.1:" + std::to_string(Port));
        EXPECT_TRUE(game->IsOpen);
        return game;
    }

    static std::string Initiate(const std::string& name, std::uint64_t channel,
                                const std::string& extra = "") {
        return R"({"Command":1,"Parameter":{"ServerUniqueIdentifier":")" + std::string(ServerUid) +
               R"(","Name":")" + name + R"(","ChannelId":)" + std::to_string(channel) + extra + "}}";
    }

    static std::string InstanceStateMessage(int state) {
        const bool connected = state != 0;
        const bool ready = state == 2;
        return R"({"Command":5,"ServerUniqueIdentifier":")" + std::string(ServerUid) +
               R"(","Parameter":{"IsConnectedToServer":)" + (connected ? "true" : "false") +
               R"(,"IsReady":)" + (ready ? "true" : "false") + R"(,"State":)" + std::to_string(state) + "}}";
    }

    static std::string ServerCommand(int command, const std::string& parameter = "null") {
        return R"({"Command":)" + std::to_string(command) + R"(,"ServerUniqueIdentifier":")" +
               std::string(ServerUid) + R"(","Parameter":)" + parameter + "}";
    }

    std::string OwnNickname() const { return Server->Own().Nickname(); }
    std::uint64_t OwnChannel() const { return Server->ChannelOf(Server->OwnClient()); }

    bool WaitForOwnChannel(std::uint64_t channel) {
        return Sim.WaitFor([&] { return OwnChannel() == channel; });
    }
    bool WaitForOwnNickname(const std::string& nickname) {
        return Sim.WaitFor([&] { return OwnNickname() == nickname; });
    }

    bool HostLogHas(const std::string& text) const {
        for (const auto& entry : Sim.LogEntries()) {
            if (entry.Message.find(text) != std::string::npos)
                return true;
        }
        return false;
    }
    bool WaitForHostLog(const std::string& text) {
        return Sim.WaitFor([&] { return HostLogHas(text); });
    }

    std::filesystem::path LibraryPath() const { return Folder / TRALVONIC_PLUGIN_FILE_NAME; }

    Sim::SimulatedClient Sim;
    Sim::SimServer* Server = nullptr;
    std::unique_ptr<Sim::PluginDriver> Driver;
    std::filesystem::path Folder;
    unsigned short Port = 0;
    // The channel tree: Lobby, Ingame, Other, and the swiss tree Swiss > Swiss Sub > Swiss Deep.
    std::uint64_t Lobby = 0, Ingame = 0, Other = 0, Swiss = 0, SwissSub = 0, SwissDeep = 0;
    TeamSpeak::anyID Bob = 0;

private:
    void BuildWorld() {
        Server = &Sim.AddServer(ServerUid, "Game Server", TeamSpeak::STATUS_DISCONNECTED);
        Lobby = Server->AddChannel("Lobby");
        Ingame = Server->AddChannel("Ingame");
        Other = Server->AddChannel("Other");
        Swiss = Server->AddChannel("Swiss");
        SwissSub = Server->AddChannel("Swiss Sub", Swiss);
        SwissDeep = Server->AddChannel("Swiss Deep", SwissSub);
        Server->AddOwnClient("Tester", Lobby);
        Bob = Server->AddClient("Bob", Lobby);
    }

    static unsigned short FreePort() {
        boost::asio::io_context context;
        boost::asio::ip::tcp::acceptor acceptor(context, {boost::asio::ip::make_address("127.0.0.1"), 0});
        return acceptor.local_endpoint().port();
    }
};

} // namespace Tralvonic::Test
