#include "unit/link/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace Tralvonic::Test {

namespace {

constexpr auto ExitGrace = std::chrono::seconds(3);

std::runtime_error SystemError(std::string_view what) {
    return std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

} // namespace

struct ChildProcess::Handles {
    pid_t Pid = -1;
    int Input = -1;
    int Output = -1;
};

ChildProcess::ChildProcess(std::vector<std::string> argv) {
    // A child that has already ended must not kill the test with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0 || pipe2(fromChild, O_CLOEXEC) != 0)
        throw SystemError("pipe2");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    std::vector<char*> arguments;
    for (auto& argument : argv)
        arguments.push_back(argument.data());
    arguments.push_back(nullptr);
    _handles = std::make_unique<Handles>();
    const int result =
        posix_spawnp(&_handles->Pid, arguments[0], &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    _handles->Input = toChild[1];
    _handles->Output = fromChild[0];
    if (result != 0) {
        close(_handles->Input);
        close(_handles->Output);
        errno = result;
        throw SystemError("posix_spawnp " + argv[0]);
    }
}

ChildProcess::~ChildProcess() {
    // Closing its input asks the client to end; the end of its output says it has.
    close(_handles->Input);
    const auto deadline = std::chrono::steady_clock::now() + ExitGrace;
    bool ended = false;
    while (!ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd descriptor{_handles->Output, POLLIN, 0};
        if (left.count() <= 0 || poll(&descriptor, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[4096];
        ended = read(_handles->Output, buffer, sizeof buffer) <= 0;
    }
    if (!ended)
        kill(_handles->Pid, SIGKILL);
    waitpid(_handles->Pid, nullptr, 0);
    close(_handles->Output);
}

void ChildProcess::WriteLine(std::string_view line) {
    std::string data(line);
    data += '\n';
    std::size_t written = 0;
    while (written < data.size()) {
        const auto count = write(_handles->Input, data.data() + written, data.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            throw SystemError("write to child");
        written += static_cast<std::size_t>(count);
    }
}

bool ChildProcess::ReadMore(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd descriptor{_handles->Output, POLLIN, 0};
        const int ready = poll(&descriptor, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char buffer[65536];
        const auto count = read(_handles->Output, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return false;
        _pending.append(buffer, static_cast<std::size_t>(count));
        return true;
    }
}

} // namespace Tralvonic::Test
