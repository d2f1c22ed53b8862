// tralvonic-host --demo as a user runs it: the built plugin in a plugin folder of its own, the
// built-in game session playing its scene against the plugin's game link at a high speed, and
// the program ending by itself. The log must show every feature as the plugin carried it out
// on the host, what the session was told, and the end of the instance.

#include "unit/sim/HostProcess.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/json/serialize.hpp>
#include <boost/json/string.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using Tralvonic::Test::HostProcess;

constexpr auto DemoDeadline = std::chrono::seconds(60);

class DemoProgram : public testing::Test {
protected:
    DemoProgram() {
        std::random_device random;
        folder = std::filesystem::temp_directory_path() / ("tralvonic-demo-" + std::to_string(random()));
        std::filesystem::create_directories(folder / "Tralvonic");
        std::filesystem::copy_file(TRALVONIC_PLUGIN_LIBRARY, folder / TRALVONIC_PLUGIN_FILE_NAME);
        std::filesystem::copy_file(TRALVONIC_VOICE_LIBRARY, folder / "Tralvonic" / TRALVONIC_VOICE_FILE_NAME);
        std::filesystem::copy(TRALVONIC_DEFAULT_SOUNDS_DIRECTORY, folder / "Tralvonic" / "default");
        port = FreePort();
        // Expert mode keeps the test's own address; a timeout of two seconds keeps the end short.
        std::ofstream(folder / "Tralvonic" / "settings.json")
            << R"({"WebSocketAddress":"127.0.0.1:)" << port
            << R"(","InstanceTimeout":2,"ExpertMode":true,"LogLevel":"Extensive"})";
    }
    ~DemoProgram() override {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    std::vector<std::string> Arguments(std::vector<std::string> options) const {
        options.insert(options.begin(), (folder / TRALVONIC_PLUGIN_FILE_NAME).string());
        return options;
    }

    static unsigned short FreePort() {
        boost::asio::io_context context;
        boost::asio::ip::tcp::acceptor acceptor(context, {boost::asio::ip::make_address("127.0.0.1"), 0});
        return acceptor.local_endpoint().port();
    }

    std::filesystem::path folder;
    unsigned short port = 0;
};

bool Has(const std::string& output, const std::string& text) {
    return output.find(text) != std::string::npos;
}

bool HasLine(const std::string& output, std::string_view start, std::string_view end) {
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(start) && line.ends_with(end)) {
            return true;
        }
    }
    return false;
}

// The end of a default sound's path as the host is asked to play it, with the platform's
// separators.
std::string DefaultSound(const std::string& name) {
    return (std::filesystem::path("Tralvonic") / "default" / (name + ".wav")).string();
}

// True when every text occurs, each after the one before.
testing::AssertionResult InOrder(const std::string& output, const std::vector<std::string>& texts) {
    std::size_t at = 0;
    for (const auto& text : texts) {
        const auto found = output.find(text, at);
        if (found == std::string::npos) {
            return testing::AssertionFailure() << "missing (in this order): " << text;
        }
        at = found + text.size();
    }
    return testing::AssertionSuccess();
}

// The messages the session sent, as the plugin logged each one it received.
std::vector<std::string> SentByTheGame(const std::string& output) {
    constexpr std::string_view Prefix = "[log debug] Tralvonic #6: {";
    std::vector<std::string> messages;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with(Prefix)) {
            messages.push_back(line.substr(Prefix.size() - 1));
        }
    }
    return messages;
}

// The protocol check validates them against the schemas with everything else captured.
void Capture(const std::vector<std::string>& messages) {
    const char* captureFolder = std::getenv("TRALVONIC_PROTOCOL_CAPTURE");
    if (captureFolder == nullptr) {
        return;
    }
    std::ofstream file(std::filesystem::path(captureFolder) /
                       ("demo-sent-" + std::to_string(getpid()) + ".jsonl"));
    for (const auto& message : messages) {
        file << boost::json::serialize(boost::json::string(message)) << '\n';
    }
}

TEST_F(DemoProgram, PlaysEveryFeatureAgainstThePluginAndEndsTheInstanceCleanly) {
    HostProcess host(Arguments({"--demo", "--demo-speed", "20"}), {}, DemoDeadline);
    ASSERT_EQ(host.WaitForExit(), 0) << host.Output;
    const std::string& log = host.Output;

    EXPECT_FALSE(Has(log, "[demo] the plugin did not")) << log;
    EXPECT_TRUE(
        Has(log, "[demo] connected to the plugin's game link at ws://127.0.0.1:" + std::to_string(port)));
    // Host calls are ordered only against what caused them: the session's lines and the
    // plugin's own threads run side by side.

    // The instance: the user renamed and moved into Ingame (id 2).
    EXPECT_TRUE(InOrder(log, {"[host] setClientSelfVariableAsString(1, 1, Hero) = 0",
                              "[host] requestClientMove(1, 1, 2, , <null>) = 0"}))
        << log;
    EXPECT_TRUE(InOrder(log, {"[demo] received InstanceState: Ingame (connected, ready)",
                              "[demo] the plugin renamed the user to Hero and moved him into Ingame"}))
        << log;
    // Bob (3) and Carl (4) placed and whispered to; Bob walks out of earshot and back; Hero
    // turns and Bob's voice turns with him; Alice (2) joins, is bound and whispered to.
    EXPECT_TRUE(
        InOrder(log, {"[demo] Hero stands at (0, 0, 0)", "[host] channelset3DAttributes(1, 3, (3, 4, 0)) = 0",
                      "[host] channelset3DAttributes(1, 4, (7.5, 0, 0)) = 0",
                      "[host] requestClientSetWhisperList(1, 1, <null>, [3, 4, 0], <null>) = 0",
                      "[host] requestClientSetWhisperList(1, 1, <null>, [3, 0], <null>) = 0",
                      "[host] requestClientSetWhisperList(1, 1, <null>, [0], <null>) = 0",
                      "[host] requestClientSetWhisperList(1, 1, <null>, [3, 0], <null>) = 0",
                      "[host] channelset3DAttributes(1, 3, (5, -3.0000002, 0)) = 0",
                      "[host] requestClientSetWhisperList(1, 1, <null>, [2, 3, 0], <null>) = 0"}))
        << log;
    EXPECT_TRUE(Has(log, "Tralvonic #9: Client Alice joined instance channel\n")) << log;
    // Talk states of other clients and of the user come back to the game.
    EXPECT_TRUE(InOrder(log, {"[demo] received TalkState: Bob is talking",
                              "[demo] received TalkState: Bob stopped talking",
                              "[demo] received TalkState: Hero is talking",
                              "[demo] received TalkState: Hero stopped talking"}))
        << log;
    // Radio: Carl heard through the tower with his click; Hero's voice to every member (Bob,
    // Carl, Alice) and to those in earshot, with his own click.
    EXPECT_TRUE(
        InOrder(log, {"[demo] Carl, 60 away, calls Hero over the radio", "Receiver has a tower in his range",
                      DefaultSound("onMicClick") + ", 0, <out>) = 0"}))
        << log;
    EXPECT_TRUE(
        InOrder(log, {"[demo] received RadioTrafficState: Carl sends on the primary channel",
                      "[demo] received RadioTrafficState: Carl stopped sending on the primary channel",
                      "[demo] received RadioTrafficState: Hero sends on the primary channel",
                      "[demo] received RadioTrafficState: Hero stopped sending on the primary channel"}))
        << log;
    EXPECT_TRUE(
        InOrder(log, {"[demo] Hero answers over the radio",
                      "[host] requestClientSetWhisperList(1, 1, <null>, [3, 4, 2, 2, 3, 0], <null>) = 0"}))
        << log;
    EXPECT_TRUE(InOrder(
        log, {"[demo] Hero answers over the radio", DefaultSound("selfOnMicClick") + ", 0, <out>) = 0"}))
        << log;
    // The phone partner far away is whispered to for the call only.
    EXPECT_TRUE(InOrder(log, {"[demo] Hero calls Carl on the phone",
                              "[host] requestClientSetWhisperList(1, 1, <null>, [4, 2, 3, 0], <null>) = 0",
                              "[host] requestClientSetWhisperList(1, 1, <null>, [2, 3, 0], <null>) = 0"}))
        << log;
    // Carl's megaphone places him 75 units away though he is out of earshot; Hero's reaches Carl.
    EXPECT_TRUE(HasLine(log, "[host] channelset3DAttributes(1, 4, (", ", -75, 0)) = 0")) << log;
    EXPECT_TRUE(InOrder(log, {"[demo] Carl puts the megaphone down; Hero speaks through one",
                              "[host] requestClientSetWhisperList(1, 1, <null>, [2, 3, 4, 0], <null>) = 0"}))
        << log;
    // Sounds: a loop started and stopped by its handle; the sound devices' state reported.
    EXPECT_TRUE(InOrder(log, {DefaultSound("onSecMicClick") + ", 1, <out>) = 0",
                              "Tralvonic #11: Stopping Sound onSecMicClick | Handle: alarm | WaveHandle: ",
                              "[host] closeWaveFileHandle(1, "}))
        << log;
    EXPECT_TRUE(InOrder(
        log, {"[demo] received SoundState: microphone muted, enabled; speakers not muted, enabled",
              "[demo] received SoundState: microphone not muted, enabled; speakers not muted, enabled"}))
        << log;
    // The swiss channel, then the end: the instance reset, the user's name and channel back.
    EXPECT_TRUE(InOrder(log, {"[demo] received InstanceState: InSwissChannel (connected, not ready)",
                              "[demo] received InstanceState: Ingame (connected, ready)",
                              "Tralvonic #9: No pong command in the last 2 seconds...",
                              "Tralvonic #9: GameInstace tralvonic-sim-server-uid= will be reset...",
                              "[host] setClientSelfVariableAsString(1, 1, Player) = 0",
                              "[host] requestClientMove(1, 1, 1, , <null>) = 0", "[demo] received Reset",
                              "[demo] the plugin ended the instance: the user is Player again, in Lobby",
                              "[demo] the demo is over", "[sim] plugin unloaded"}))
        << log;

    const auto sent = SentByTheGame(log);
    Capture(sent);
    std::set<int> commands;
    for (const auto& message : sent) {
        commands.insert(std::stoi(message.substr(std::string_view(R"({"Command":)").size())));
    }
    EXPECT_EQ(commands,
              (std::set<int>{1, 3, 4, 7, 8, 9, 10, 18, 19, 20, 21, 30, 31, 32, 37, 38, 39, 40, 41}));
}

TEST_F(DemoProgram, AnInterruptStopsTheSceneBeforeThePluginShutsDown) {
    HostProcess host(Arguments({"--demo"}), {}, DemoDeadline);
    ASSERT_TRUE(host.WaitForOutput("[demo] Hero stands at (0, 0, 0)")) << host.Output;
    host.Interrupt();
    EXPECT_EQ(host.WaitForExit(), 0) << host.Output;
    const auto interrupted = host.Output.find("[sim] SIGINT received");
    ASSERT_NE(interrupted, std::string::npos) << host.Output;
    // Nothing of the session runs once the plugin is being shut down, and the stop resets
    // the instance the session had started.
    EXPECT_EQ(host.Output.find("[demo]", interrupted), std::string::npos) << host.Output;
    EXPECT_FALSE(Has(host.Output, "[demo] the demo is over")) << host.Output;
    EXPECT_TRUE(InOrder(host.Output,
                        {"[sim] SIGINT received", "[host] setClientSelfVariableAsString(1, 1, Player) = 0",
                         "[sim] plugin unloaded"}))
        << host.Output;
}

TEST_F(DemoProgram, AGameLinkAddressTakenByAnotherProgramEndsTheDemoWithAClearLine) {
    boost::asio::io_context context;
    boost::asio::ip::tcp::acceptor other(context, {boost::asio::ip::make_address("127.0.0.1"), port});
    HostProcess host(Arguments({"--demo"}), {}, DemoDeadline);
    EXPECT_EQ(host.WaitForExit(), 1) << host.Output;
    EXPECT_TRUE(Has(host.Output, "[demo] the plugin's game link is not running (its log says: "))
        << host.Output;
    EXPECT_TRUE(Has(host.Output, "is its address taken by another program? The demo ends")) << host.Output;
    EXPECT_FALSE(Has(host.Output, "[demo] connected")) << host.Output;
    EXPECT_TRUE(Has(host.Output, "[sim] plugin unloaded")) << host.Output;
}

TEST_F(DemoProgram, DemoOptionsWithoutTheDemoAreExplainedWithTheUsage) {
    HostProcess stay(Arguments({"--stay"}));
    EXPECT_EQ(stay.WaitForExit(), 2);
    HostProcess speed(Arguments({"--demo", "--demo-speed", "0"}));
    EXPECT_EQ(speed.WaitForExit(), 2);
}

} // namespace
