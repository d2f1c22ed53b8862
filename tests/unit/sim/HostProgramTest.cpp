// tralvonic-host as a program: it loads the plugin named on its command line, runs it
// against the simulated server and, on SIGINT, shuts it down exactly once and exits cleanly;
// clients it is told to make talk are heard, and what the user hears and sends is recorded.

#include "WaveFile.h"

#include "unit/sim/HostProcess.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Tralvonic::Test::HostProcess;
using Clock = std::chrono::steady_clock;
constexpr auto Deadline = Tralvonic::Test::HostDeadline;

class HostProgram : public testing::Test {
protected:
    HostProgram()
        : marker(std::filesystem::temp_directory_path() / ("host-program-" + std::to_string(getpid()))) {
        std::filesystem::remove(marker);
    }
    ~HostProgram() override { std::filesystem::remove(marker); }

    std::string MarkerVariable() const { return "TRALVONIC_TEST_PLUGIN_MARKER=" + marker.string(); }

    int ShutdownsRecorded() const {
        std::ifstream file(marker);
        int count = 0;
        for (std::string line; std::getline(file, line);) {
            count += line == "shutdown" ? 1 : 0;
        }
        return count;
    }

    std::filesystem::path marker;
};

TEST_F(HostProgram, RunsThePluginAndShutsItDownOnceOnInterrupt) {
    HostProcess host({TRALVONIC_TEST_PLUGIN}, {MarkerVariable()});
    ASSERT_TRUE(host.WaitForOutput("[sim] running")) << host.Output;
    // The plugin's reaction to the connection shows that events and host calls flow.
    ASSERT_TRUE(host.WaitForOutput("test plugin: connected")) << host.Output;
    EXPECT_EQ(ShutdownsRecorded(), 0);

    host.Interrupt();
    EXPECT_EQ(host.WaitForExit(), 0) << host.Output;
    EXPECT_NE(host.Output.find("[log info] HostTestPlugin #0: test plugin: init"), std::string::npos);
    EXPECT_NE(host.Output.find("[host] setClientSelfVariableAsString(1, 1, Renamed by test plugin) = 0"),
              std::string::npos);
    EXPECT_NE(host.Output.find("[host] requestClientMove("), std::string::npos);
    EXPECT_NE(host.Output.find("test plugin: shutdown"), std::string::npos);
    EXPECT_NE(host.Output.find("[sim] plugin unloaded"), std::string::npos);
    EXPECT_EQ(ShutdownsRecorded(), 1);
}

TEST_F(HostProgram, RecordsWhatTheUserHearsAndSendsFromTheClientsItMakesTalk) {
    const auto heard = marker.string() + "-heard.wav";
    const auto sent = marker.string() + "-sent.wav";
    HostProcess host({TRALVONIC_TEST_PLUGIN, "--voice", "Bob=tone:1000", "--voice", "Player=tone:500",
                      "--record", heard, "--record-mic", sent},
                     {MarkerVariable()});
    ASSERT_TRUE(host.WaitForOutput("[sim] running")) << host.Output;
    // A quarter of a second of audio, waited for by the growing file.
    const auto end = Clock::now() + Deadline;
    std::error_code error;
    while (Clock::now() < end && std::filesystem::file_size(heard, error) < 44 + 48000 * 4 / 4) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    host.Interrupt();
    ASSERT_EQ(host.WaitForExit(), 0) << host.Output;

    const auto heardWave = Tralvonic::Sim::ReadWaveFile(heard);
    EXPECT_EQ(heardWave.Channels, 2);
    EXPECT_EQ(heardWave.SampleRate, 48000);
    ASSERT_GE(heardWave.Samples.size(), 48000u / 4 * 2);
    const auto loudest = *std::max_element(heardWave.Samples.begin(), heardWave.Samples.end());
    EXPECT_GT(loudest, 4000); // Bob's tone, in the middle of the stereo field
    const auto sentWave = Tralvonic::Sim::ReadWaveFile(sent);
    EXPECT_EQ(sentWave.Channels, 1);
    EXPECT_EQ(sentWave.Samples.size() * 2, heardWave.Samples.size());
    EXPECT_GT(*std::max_element(sentWave.Samples.begin(), sentWave.Samples.end()), 7000);
    std::filesystem::remove(heard);
    std::filesystem::remove(sent);
}

TEST_F(HostProgram, AnUnknownOptionIsExplainedWithTheUsage) {
    HostProcess host({TRALVONIC_TEST_PLUGIN, "--voice", "Bob"}, {MarkerVariable()});
    EXPECT_EQ(host.WaitForExit(), 2);
}

TEST_F(HostProgram, MissingPluginIsExplainedAndNotAnError) {
    HostProcess host({"/nonexistent/tralvonic_linux_amd64.so"}, {MarkerVariable()});
    EXPECT_EQ(host.WaitForExit(), 0);
    EXPECT_NE(host.Output.find("no plugin library at /nonexistent/tralvonic_linux_amd64.so"),
              std::string::npos);
}

TEST_F(HostProgram, LibraryWithoutTheRequiredExportsIsRefused) {
    // The program itself is no plugin: it lacks every ts3plugin_ export.
    HostProcess host({TRALVONIC_HOST_PROGRAM}, {MarkerVariable()});
    EXPECT_EQ(host.WaitForExit(), 1);
    EXPECT_EQ(host.Output.find("[sim] running"), std::string::npos);
}

} // namespace
