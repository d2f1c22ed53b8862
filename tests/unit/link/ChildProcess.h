#pragma once
// A child program driven through its standard input and output, line by line: the tests
// run the Node.js clients this way. Reads wait with deadlines; the destructor ends the
// child (closing its input first, then SIGKILL after a grace period) and reaps it.
// On Linux the child is spawned with pipes (ChildProcessPosix.cpp). Under Wine the child is
// still the Linux program, started through its Z: path with sockets as its standard input
// and output (ChildProcessWin32.cpp): Wine hands a Linux child the file descriptors of
// sockets, but not those of its own pipes.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic::Test {

class ChildProcess {
public:
    // Runs argv[0] found on PATH. Standard error is inherited, for failure diagnostics.
    explicit ChildProcess(std::vector<std::string> argv);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void WriteLine(std::string_view line);
    // The next line of output (without its line feed); absent at the deadline or at the end.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Reads until a line satisfies `accept` and returns it; the lines passed over are kept
    // in Skipped(). Absent at the deadline or at the end of the output.
    std::optional<std::string> WaitForLine(const std::function<bool(const std::string&)>& accept,
                                           std::chrono::milliseconds timeout);
    std::optional<std::string> WaitForPrefix(std::string_view prefix, std::chrono::milliseconds timeout);
    const std::vector<std::string>& Skipped() const { return _skipped; }

private:
    // The child and the two ends the test holds.
    struct Handles;
    // Appends what the child wrote to _pending, waiting at most `timeout`; false at the
    // deadline or at the end of the output.
    bool ReadMore(std::chrono::milliseconds timeout);

    std::unique_ptr<Handles> _handles;
    std::string _pending;
    std::vector<std::string> _skipped;
};

} // namespace Tralvonic::Test
