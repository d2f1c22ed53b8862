#include "unit/link/ChildProcess.h"

#include <algorithm>
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
    const int result = posix_spawnp(&_pid, arguments[0], &actions, nullptr, arguments.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    _input = toChild[1];
    _output = fromChild[0];
    if (result != 0) {
        close(_input);
        close(_output);
        errno = result;
        throw SystemError("posix_spawnp " + argv[0]);
    }
}

ChildProcess::~ChildProcess() {
    // Closing its input asks the client to end; the end of its output says it has.
    close(_input);
    const auto deadline = std::chrono::steady_clock::now() + ExitGrace;
    bool ended = false;
    while (!ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd descriptor{_output, POLLIN, 0};
        if (left.count() <= 0 || poll(&descriptor, 1, static_cast<int>(left.count())) <= 0)
            break;
        char buffer[4096];
        ended = read(_output, buffer, sizeof buffer) <= 0;
    }
    if (!ended)
        kill(_pid, SIGKILL);
    waitpid(_pid, nullptr, 0);
    close(_output);
}

void ChildProcess::WriteLine(std::string_view line) {
    std::string data(line);
    data += '\n';
    std::size_t written = 0;
    while (written < data.size()) {
        const auto count = write(_input, data.data() + written, data.size() - written);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            throw SystemError("write to child");
        written += static_cast<std::size_t>(count);
    }
}

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const auto end = _pending.find('\n'); end != std::string::npos) {
            std::string line = _pending.substr(0, end);
            _pending.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return std::nullopt;
        pollfd descriptor{_output, POLLIN, 0};
        const int ready = poll(&descriptor, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return std::nullopt;
        char buffer[65536];
        const auto count = read(_output, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return std::nullopt;
        _pending.append(buffer, static_cast<std::size_t>(count));
    }
}

std::optional<std::string> ChildProcess::WaitForLine(const std::function<bool(const std::string&)>& accept,
                                                     std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        auto line = ReadLine(std::max(left, std::chrono::milliseconds(0)));
        if (!line || accept(*line))
            return line;
        _skipped.push_back(std::move(*line));
    }
}

std::optional<std::string> ChildProcess::WaitForPrefix(std::string_view prefix,
                                                       std::chrono::milliseconds timeout) {
    return WaitForLine([prefix](const std::string& line) { return line.starts_with(prefix); }, timeout);
}

} // namespace Tralvonic::Test
