// tralvonic-host with the real plugin and no QApplication of its own: the menu commands on
// standard input open both windows on the plugin's own GUI thread (Qt offscreen), and "quit"
// stops the plugin with the windows open; the settings window's close writes the file.

#include "tests/window/WindowFixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <random>
#include <spawn.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace Tralvonic::Test {
namespace {

// The program with its standard input and output on pipes; reads wait with a deadline.
class Host {
public:
    explicit Host(const std::filesystem::path& plugin) {
        int input[2];
        int output[2];
        if (pipe(input) != 0 || pipe(output) != 0) {
            throw std::runtime_error("pipe failed");
        }
        // The sanitizers of a sanitizer build would otherwise fail the program for Qt's own
        // leaks and for Qt's locking, which the race detector cannot see.
        std::vector<std::string> environment{
            "QT_QPA_PLATFORM=offscreen",
            std::string("LSAN_OPTIONS=suppressions=") + TRALVONIC_LSAN_SUPPRESSIONS,
            std::string("TSAN_OPTIONS=suppressions=") + TRALVONIC_TSAN_SUPPRESSIONS};
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string_view text(*variable);
            if (text.rfind("QT_QPA_PLATFORM=", 0) != 0 && text.rfind("LSAN_OPTIONS=", 0) != 0 &&
                text.rfind("TSAN_OPTIONS=", 0) != 0) {
                environment.emplace_back(*variable);
            }
        }
        std::vector<char*> environmentPointers;
        for (auto& variable : environment) {
            environmentPointers.push_back(variable.data());
        }
        environmentPointers.push_back(nullptr);
        std::string program = TRALVONIC_HOST_PROGRAM;
        std::string argument = plugin.string();
        char* arguments[] = {program.data(), argument.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDERR_FILENO);
        posix_spawn_file_actions_addclose(&actions, input[1]);
        posix_spawn_file_actions_addclose(&actions, output[0]);
        const int spawned =
            posix_spawn(&_pid, program.c_str(), &actions, nullptr, arguments, environmentPointers.data());
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        _input = input[1];
        _output = output[0];
        if (spawned != 0) {
            throw std::runtime_error("cannot start " + program);
        }
    }
    ~Host() {
        if (_pid > 0 && !_exited) {
            kill(_pid, SIGKILL);
            waitpid(_pid, nullptr, 0);
        }
        close(_input);
        close(_output);
    }
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    void Type(const std::string& line) {
        const std::string text = line + "\n";
        if (write(_input, text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
            throw std::runtime_error("write to the host failed");
        }
    }

    bool WaitForOutput(const std::string& text) {
        const auto end = Clock::now() + WindowDeadline;
        while (Output.find(text) == std::string::npos) {
            if (!ReadSome(end)) {
                return false;
            }
        }
        return true;
    }

    int WaitForExit() {
        const auto end = Clock::now() + WindowDeadline;
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

    // The plugin's calls of a host function so far, as the host counts them.
    std::size_t Calls(const std::string& function) {
        const std::size_t from = Output.size();
        Type("calls " + function);
        const std::string reply = "[sim] calls " + function + ": ";
        const auto end = Clock::now() + WindowDeadline;
        auto answered = [&] {
            const auto at = Output.find(reply, from);
            return at != std::string::npos && Output.find('\n', at) != std::string::npos;
        };
        while (!answered()) {
            if (!ReadSome(end)) {
                return 0;
            }
        }
        return std::stoul(Output.substr(Output.find(reply, from) + reply.size()));
    }

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
    int _input = -1;
    int _output = -1;
    bool _exited = false;
};

std::string ReadAll(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(HostMenu, BothWindowsOpenFromStandardInputAndQuitClosesThemAndSavesTheSettings) {
    std::random_device random;
    const auto directory =
        std::filesystem::temp_directory_path() / ("tralvonic-host-menu-" + std::to_string(random()));
    const auto folder = directory / "Tralvonic";
    std::filesystem::create_directories(folder);
    const std::filesystem::path plugin = TRALVONIC_PLUGIN_LIBRARY;
    std::filesystem::copy_file(plugin, directory / plugin.filename());
    std::filesystem::copy_file(plugin.parent_path() / "Tralvonic" / "VoiceDistortion_linux_amd64.so",
                               folder / "VoiceDistortion_linux_amd64.so");
    std::ofstream(folder / "settings.json") << R"({"ExpertMode":true,"WebSocketAddress":"127.0.0.1:0"})";
    {
        Host host(directory / plugin.filename());
        ASSERT_TRUE(host.WaitForOutput("[sim] running")) << host.Output;
        host.Type("help");
        ASSERT_TRUE(host.WaitForOutput(
            "[sim] commands: menu settings | menu troubleshooting | calls FUNCTION | help | quit"))
            << host.Output;
        const std::size_t statusReads = host.Calls("getConnectionStatus");
        host.Type("menu settings");
        ASSERT_TRUE(host.WaitForOutput("[sim] menu \"Settings\" selected")) << host.Output;
        host.Type("menu troubleshooting");
        ASSERT_TRUE(host.WaitForOutput("[sim] menu \"Troubleshooting\" selected")) << host.Output;
        // The troubleshooting window's checks read the tab's status once they run on the GUI
        // thread, which made the settings window before.
        const auto end = Clock::now() + WindowDeadline;
        while (host.Calls("getConnectionStatus") == statusReads && Clock::now() < end) {
        }
        ASSERT_GT(host.Calls("getConnectionStatus"), statusReads) << host.Output;
        host.Type("menu nothing");
        ASSERT_TRUE(host.WaitForOutput("[sim] no menu entry \"nothing\"")) << host.Output;
        host.Type("quit");
        EXPECT_EQ(host.WaitForExit(), 0) << host.Output;
        EXPECT_NE(host.Output.find("[sim] plugin unloaded"), std::string::npos) << host.Output;
        EXPECT_EQ(host.Output.find("cannot be shown"), std::string::npos) << host.Output;
    }
    // Written by the settings window's close at the stop: every key, not only the two above.
    const std::string settings = ReadAll(folder / "settings.json");
    EXPECT_NE(settings.find(R"("MicClickMode":"ScriptDependent")"), std::string::npos) << settings;
    std::error_code ignored;
    std::filesystem::remove_all(directory, ignored);
}

} // namespace
} // namespace Tralvonic::Test
