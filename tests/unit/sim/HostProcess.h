#pragma once
// tralvonic-host as a child process of a test: its stdout on a pipe, read with a deadline,
// never a sleep; killed when the test ends before it did.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace Tralvonic::Test {

constexpr auto HostDeadline = std::chrono::seconds(10);

class HostProcess {
public:
    using Clock = std::chrono::steady_clock;

    // Runs the program with `arguments` and the test's environment plus `environment`
    // (NAME=VALUE each); every wait ends at `deadline` from its start.
    explicit HostProcess(std::vector<std::string> arguments, std::vector<std::string> environment = {},
                         std::chrono::milliseconds deadline = HostDeadline)
        : _deadline(deadline) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            throw std::runtime_error("pipe failed");
        }
        for (char** variable = environ; *variable != nullptr; ++variable) {
            environment.emplace_back(*variable);
        }
        std::vector<char*> environmentPointers;
        for (auto& variable : environment) {
            environmentPointers.push_back(variable.data());
        }
        environmentPointers.push_back(nullptr);
        std::string program = TRALVONIC_HOST_PROGRAM;
        std::vector<char*> argumentPointers{program.data()};
        for (auto& argument : arguments) {
            argumentPointers.push_back(argument.data());
        }
        argumentPointers.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        const int spawned = posix_spawn(&_pid, program.c_str(), &actions, nullptr, argumentPointers.data(),
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
        const auto end = Clock::now() + _deadline;
        while (Output.find(text) == std::string::npos) {
            if (!ReadSome(end)) {
                return false;
            }
        }
        return true;
    }
    // The exit status once the program ended on its own; -1 at the deadline.
    int WaitForExit() {
        const auto end = Clock::now() + _deadline;
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

    std::chrono::milliseconds _deadline;
    pid_t _pid = -1;
    int _output = -1;
    bool _exited = false;
};

} // namespace Tralvonic::Test
