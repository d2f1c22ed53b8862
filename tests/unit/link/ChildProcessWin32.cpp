// The Linux child of a test that runs under Wine. A Linux program started through
// CreateProcessW gets no process handle (Wine cannot wait for it or end it) and gets the file
// descriptors of its standard handles only where they are sockets, so: the child's input and
// output are loopback sockets, /bin/sh starts it and first writes its process id, and the
// destructor ends a child that outlives its grace period with Linux's own kill.

#include "unit/link/ChildProcess.h"

#include "core/WideText.h"
#include "support/CommandLineWin32.h"

#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

#include <stdexcept>

namespace Tralvonic::Test {

using Testing::QuotedArgument;

namespace {

constexpr auto ExitGrace = std::chrono::seconds(3);
constexpr auto StartDeadline = std::chrono::seconds(10);
// Prints the shell's process id, which exec hands on to the program it starts.
constexpr const char* Launcher = "echo $$; exec \"$0\" \"$@\"";

std::runtime_error SocketError(std::string_view what) {
    return std::runtime_error(std::string(what) + ": socket error " + std::to_string(WSAGetLastError()));
}

void StartSockets() {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    if (!started) {
        throw SocketError("WSAStartup");
    }
}

// A connected pair of loopback TCP sockets. Not overlapped, so that the child can read and
// write them as plain descriptors.
void SocketPair(SOCKET& mine, SOCKET& childs) {
    SOCKET listener = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, 0);
    if (listener == INVALID_SOCKET) {
        throw SocketError("socket");
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 1) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        closesocket(listener);
        throw SocketError("listen");
    }
    mine = WSASocketW(AF_INET, SOCK_STREAM, IPPROTO_TCP, nullptr, 0, 0);
    if (mine == INVALID_SOCKET || connect(mine, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        closesocket(listener);
        throw SocketError("connect");
    }
    childs = accept(listener, nullptr, nullptr);
    closesocket(listener);
    if (childs == INVALID_SOCKET) {
        closesocket(mine);
        throw SocketError("accept");
    }
}

// Runs /bin/sh with `argv` and the given standard input and output (invalid: /dev/null).
void StartLinuxProgram(const std::vector<std::string>& argv, HANDLE input, HANDLE output) {
    std::wstring commandLine = L"Z:\\bin\\sh";
    for (const std::string& argument : argv) {
        commandLine += L' ';
        commandLine += QuotedArgument(argument);
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        throw std::runtime_error("CreateProcessW /bin/sh: error " + std::to_string(GetLastError()));
    }
    // Wine hands back no process for a Linux program; close whatever it did hand back.
    if (process.hThread != nullptr) {
        CloseHandle(process.hThread);
    }
    if (process.hProcess != nullptr) {
        CloseHandle(process.hProcess);
    }
}

} // namespace

struct ChildProcess::Handles {
    SOCKET Input = INVALID_SOCKET;
    SOCKET Output = INVALID_SOCKET;
    std::string Pid;
};

ChildProcess::ChildProcess(std::vector<std::string> argv) : _handles(std::make_unique<Handles>()) {
    StartSockets();
    SOCKET childInput = INVALID_SOCKET;
    SOCKET childOutput = INVALID_SOCKET;
    SocketPair(_handles->Input, childInput);
    try {
        SocketPair(_handles->Output, childOutput);
    } catch (...) {
        closesocket(_handles->Input);
        closesocket(childInput);
        throw;
    }
    std::vector<std::string> arguments{"-c", Launcher};
    arguments.insert(arguments.end(), argv.begin(), argv.end());
    try {
        StartLinuxProgram(arguments, reinterpret_cast<HANDLE>(childInput),
                          reinterpret_cast<HANDLE>(childOutput));
    } catch (...) {
        for (const SOCKET socket : {childInput, childOutput, _handles->Input, _handles->Output}) {
            closesocket(socket);
        }
        throw;
    }
    // The child holds its own descriptors now; the end of its output is the end of the child.
    closesocket(childInput);
    closesocket(childOutput);
    const auto pid = ReadLine(std::chrono::duration_cast<std::chrono::milliseconds>(StartDeadline));
    if (!pid || pid->empty() || pid->find_first_not_of("0123456789") != std::string::npos) {
        closesocket(_handles->Input);
        closesocket(_handles->Output);
        throw std::runtime_error("cannot start " + (argv.empty() ? std::string() : argv[0]) +
                                 " through /bin/sh");
    }
    _handles->Pid = *pid;
}

ChildProcess::~ChildProcess() {
    // Closing its input asks the client to end; the end of its output says it has.
    shutdown(_handles->Input, SD_SEND);
    closesocket(_handles->Input);
    const auto drain = [this](std::chrono::milliseconds grace) {
        const auto deadline = std::chrono::steady_clock::now() + grace;
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            WSAPOLLFD descriptor{_handles->Output, POLLRDNORM, 0};
            if (left.count() <= 0 || WSAPoll(&descriptor, 1, static_cast<INT>(left.count())) <= 0) {
                return false;
            }
            char buffer[4096];
            if (recv(_handles->Output, buffer, sizeof buffer, 0) <= 0) {
                return true;
            }
        }
    };
    if (!drain(ExitGrace)) {
        try {
            StartLinuxProgram({"-c", "kill -KILL \"$0\"", _handles->Pid}, INVALID_HANDLE_VALUE,
                              INVALID_HANDLE_VALUE);
            drain(ExitGrace);
        } catch (...) {
            // Nothing more can be done from here; the child ends with the Wine session.
        }
    }
    closesocket(_handles->Output);
}

void ChildProcess::WriteLine(std::string_view line) {
    std::string data(line);
    data += '\n';
    std::size_t written = 0;
    while (written < data.size()) {
        const int count =
            send(_handles->Input, data.data() + written, static_cast<int>(data.size() - written), 0);
        if (count <= 0) {
            throw SocketError("write to child");
        }
        written += static_cast<std::size_t>(count);
    }
}

bool ChildProcess::ReadMore(std::chrono::milliseconds timeout) {
    WSAPOLLFD descriptor{_handles->Output, POLLRDNORM, 0};
    if (WSAPoll(&descriptor, 1, static_cast<INT>(timeout.count())) <= 0) {
        return false;
    }
    char buffer[65536];
    const int count = recv(_handles->Output, buffer, sizeof buffer, 0);
    if (count <= 0) {
        return false;
    }
    _pending.append(buffer, static_cast<std::size_t>(count));
    return true;
}

} // namespace Tralvonic::Test
