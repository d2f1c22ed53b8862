#pragma once
// tralvonic-host as a child process of a test: its stdout on a pipe, read with a deadline,
// never a sleep; killed when the test ends before it did. posix_spawn on Linux
// (HostProcessPosix.cpp), CreateProcessW in a process group of its own on Windows, where a
// Ctrl-Break to that group, or the program's interrupt event, is the interrupt
// (HostProcessWin32.cpp).

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace Tralvonic::Test {

constexpr auto HostDeadline = std::chrono::seconds(10);

class HostProcess {
public:
    using Clock = std::chrono::steady_clock;

    // Runs the program with `arguments` and the test's environment plus `environment`
    // (NAME=VALUE each); every wait ends at `deadline` from its start.
    explicit HostProcess(std::vector<std::string> arguments, std::vector<std::string> environment = {},
                         std::chrono::milliseconds deadline = HostDeadline);
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

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
    // Reads what the program writes for `span`, so that its output does not fill the pipe and
    // stop it while the test waits for something else.
    void Collect(std::chrono::milliseconds span) {
        const auto end = Clock::now() + span;
        while (ReadSome(end)) {
        }
    }
    // The exit status once the program ended on its own; -1 at the deadline.
    int WaitForExit();
    // Ctrl-C as a user at the terminal gives it.
    void Interrupt();

    std::string Output;

private:
    struct Handles;
    // Appends to Output what the program wrote; false at `end` or at the end of the output.
    bool ReadSome(Clock::time_point end);

    std::chrono::milliseconds _deadline;
    std::unique_ptr<Handles> _handles;
};

} // namespace Tralvonic::Test
