// tralvonic-host as a program: it loads the plugin named on its command line, runs it
// against the simulated server and, on SIGINT, shuts it down exactly once and exits cleanly;
// clients it is told to make talk are heard, and what the user hears and sends is recorded.

#include "WaveFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr auto Deadline = std::chrono::seconds(10);

// The program with its stdout on a pipe; reads wait with a deadline, never a sleep.
class HostProcess {
public:
    HostProcess(const std::string& argument, const std::string& marker,
                std::vector<std::string> options = {}) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            throw std::runtime_error("pipe failed");
        }
        std::vector<std::string> environment{"TRALVONIC_TEST_PLUGIN_MARKER=" + marker};
        for (char** variable = environ; *variable != nullptr; ++variable) {
            environment.emplace_back(*variable);
        }
        std::vector<char*> environmentPointers;
        for (auto& variable : environment) {
            environmentPointers.push_back(variable.data());
        }
        environmentPointers.push_back(nullptr);
        std::string program = TRALVONIC_HOST_PROGRAM;
        std::string plugin = argument;
        std::vector<char*> arguments{program.data(), plugin.data()};
        for (auto& option : options) {
            arguments.push_back(option.data());
        }
        arguments.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        const int spawned = posix_spawn(&_pid, program.c_str(), &actions, nullptr, arguments.data(),
                                        environmentPointers.data());
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            throw std::runtime_error("cannot start " + program);
        }
        close(pipeEnds[1]);
        _output = pipeEnds[0];
    }
    ~HostProcess() {
        if (_pid > 0 && !_exited) {
            kill(_pid, SIGKILL);
            waitpid(_pid, nullptr, 0);
        }
        close(_output);
    }

    // True once the output holds `text`; false at the deadline or when the output ends.
    bool WaitForOutput(const std::string& text) {
        const auto end = Clock::now() + Deadline;
        while (Output.find(text) == std::string::npos) {
            if (!ReadSome(end)) {
                return false;
            }
        }
        return true;
    }
    // The exit status once the program ended on its own; -1 at the deadline.
    int WaitForExit() {
        const auto end = Clock::now() + Deadline;
        while (ReadSome(end)) {
        }
        if (Clock::now() >= end) {
            return -1;
        }
        int status = 0;
        waitpid(_pid, &status, 0);
        _exited = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void Interrupt() { kill(_pid, SIGINT); }

    std::string Output;

private:
    bool ReadSome(Clock::time_point end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        pollfd descriptor{_output, POLLIN, 0};
        if (left <= 0 || poll(&descriptor, 1, static_cast<int>(left)) <= 0) {
            return false;
        }
        char buffer[4096];
        const auto count = read(_output, buffer, sizeof buffer);
        if (count <= 0) {
            return false;
        }
        Output.append(buffer, static_cast<std::size_t>(count));
        return true;
    }

    pid_t _pid = -1;
    int _output = -1;
    bool _exited = false;
};

class HostProgram : public testing::Test {
protected:
    HostProgram()
        : marker(std::filesystem::temp_directory_path() / ("host-program-" + std::to_string(getpid()))) {
        std::filesystem::remove(marker);
    }
    ~HostProgram() override { std::filesystem::remove(marker); }

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
    HostProcess host(TRALVONIC_TEST_PLUGIN, marker);
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
    HostProcess host(
        TRALVONIC_TEST_PLUGIN, marker,
        {"--voice", "Bob=tone:1000", "--voice", "Player=tone:500", "--record", heard, "--record-mic", sent});
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
    HostProcess host(TRALVONIC_TEST_PLUGIN, marker, {"--voice", "Bob"});
    EXPECT_EQ(host.WaitForExit(), 2);
}

TEST_F(HostProgram, MissingPluginIsExplainedAndNotAnError) {
    HostProcess host("/nonexistent/tralvonic_linux_amd64.so", marker);
    EXPECT_EQ(host.WaitForExit(), 0);
    EXPECT_NE(host.Output.find("no plugin library at /nonexistent/tralvonic_linux_amd64.so"),
              std::string::npos);
}

TEST_F(HostProgram, LibraryWithoutTheRequiredExportsIsRefused) {
    // The program itself is no plugin: it lacks every ts3plugin_ export.
    HostProcess host(TRALVONIC_HOST_PROGRAM, marker);
    EXPECT_EQ(host.WaitForExit(), 1);
    EXPECT_EQ(host.Output.find("[sim] running"), std::string::npos);
}

} // namespace
