#include "unit/sim/HostProcess.h"

#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Tralvonic::Test {

struct HostProcess::Handles {
    pid_t Pid = -1;
    int Output = -1;
    bool Exited = false;
};

HostProcess::HostProcess(std::vector<std::string> arguments, std::vector<std::string> environment,
                         std::chrono::milliseconds deadline)
    : _deadline(deadline), _handles(std::make_unique<Handles>()) {
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
    const int spawned = posix_spawn(&_handles->Pid, program.c_str(), &actions, nullptr,
                                    argumentPointers.data(), environmentPointers.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + program);
    }
    close(pipeEnds[1]);
    _handles->Output = pipeEnds[0];
}

HostProcess::~HostProcess() {
    if (_handles->Pid > 0 && !_handles->Exited) {
        kill(_handles->Pid, SIGKILL);
        waitpid(_handles->Pid, nullptr, 0);
    }
    close(_handles->Output);
}

int HostProcess::WaitForExit() {
    const auto end = Clock::now() + _deadline;
    while (ReadSome(end)) {
    }
    if (Clock::now() >= end) {
        return -1;
    }
    int status = 0;
    waitpid(_handles->Pid, &status, 0);
    _handles->Exited = true;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void HostProcess::Interrupt() {
    kill(_handles->Pid, SIGINT);
}

bool HostProcess::ReadSome(Clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    pollfd descriptor{_handles->Output, POLLIN, 0};
    if (left <= 0 || poll(&descriptor, 1, static_cast<int>(left)) <= 0) {
        return false;
    }
    char buffer[4096];
    const auto count = read(_handles->Output, buffer, sizeof buffer);
    if (count <= 0) {
        return false;
    }
    Output.append(buffer, static_cast<std::size_t>(count));
    return true;
}

} // namespace Tralvonic::Test
