#include "unit/sim/HostProcess.h"

#include "core/WideText.h"
#include "support/CommandLineWin32.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

namespace Tralvonic::Test {

using Testing::QuotedArgument;

namespace {

// The test's environment with `extra` (NAME=VALUE each) in front, as CreateProcessW takes it.
std::wstring EnvironmentBlock(const std::vector<std::string>& extra) {
    std::wstring block;
    for (const std::string& variable : extra) {
        block += WideFromUtf8(variable);
        block += L'\0';
    }
    wchar_t* inherited = GetEnvironmentStringsW();
    for (const wchar_t* variable = inherited; *variable != L'\0'; variable += wcslen(variable) + 1) {
        block += variable;
        block += L'\0';
    }
    FreeEnvironmentStringsW(inherited);
    block += L'\0';
    return block;
}

std::atomic<unsigned> pipeCounter{0};

} // namespace

struct HostProcess::Handles {
    HANDLE Process = nullptr;
    DWORD Id = 0;
    HANDLE Output = nullptr; // the test's end of a named pipe, read overlapped for the deadline
    HANDLE Event = nullptr;
    bool Exited = false;
};

HostProcess::HostProcess(std::vector<std::string> arguments, std::vector<std::string> environment,
                         std::chrono::milliseconds deadline)
    : _deadline(deadline), _handles(std::make_unique<Handles>()) {
    // An anonymous pipe cannot be read with a deadline; a named one opened overlapped can.
    const std::wstring name = L"\\\\.\\pipe\\tralvonic-host-" + std::to_wstring(GetCurrentProcessId()) +
                              L"-" + std::to_wstring(++pipeCounter);
    _handles->Output = CreateNamedPipeW(name.c_str(), PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED,
                                        PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 65536, 0, nullptr);
    if (_handles->Output == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("CreateNamedPipeW failed");
    }
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE writeEnd = CreateFileW(name.c_str(), GENERIC_WRITE, 0, &inheritable, OPEN_EXISTING, 0, nullptr);
    _handles->Event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (writeEnd == INVALID_HANDLE_VALUE || _handles->Event == nullptr) {
        CloseHandle(_handles->Output);
        throw std::runtime_error("cannot open the program's output pipe");
    }
    std::wstring commandLine = QuotedArgument(TRALVONIC_HOST_PROGRAM);
    for (const std::string& argument : arguments) {
        commandLine += L' ';
        commandLine += QuotedArgument(argument);
    }
    std::wstring block = EnvironmentBlock(environment);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = writeEnd;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    // A group of its own: the interrupt reaches the program and not the test.
    const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT, block.data(),
                                        nullptr, &startup, &process);
    CloseHandle(writeEnd);
    if (!started) {
        CloseHandle(_handles->Output);
        CloseHandle(_handles->Event);
        throw std::runtime_error(std::string("cannot start ") + TRALVONIC_HOST_PROGRAM);
    }
    CloseHandle(process.hThread);
    _handles->Process = process.hProcess;
    _handles->Id = process.dwProcessId;
}

HostProcess::~HostProcess() {
    if (!_handles->Exited) {
        TerminateProcess(_handles->Process, 1);
        WaitForSingleObject(_handles->Process, INFINITE);
    }
    CloseHandle(_handles->Process);
    CloseHandle(_handles->Output);
    CloseHandle(_handles->Event);
}

int HostProcess::WaitForExit() {
    const auto end = Clock::now() + _deadline;
    while (ReadSome(end)) {
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0 || WaitForSingleObject(_handles->Process, static_cast<DWORD>(left)) != WAIT_OBJECT_0) {
        return -1;
    }
    _handles->Exited = true;
    DWORD code = 0;
    return GetExitCodeProcess(_handles->Process, &code) ? static_cast<int>(code) : -1;
}

// Wine delivers no console event to a child process, so the program's own interrupt event
// stands in for the Ctrl-Break sent to its process group on Windows.
void HostProcess::Interrupt() {
    GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, _handles->Id);
    const std::wstring name = L"Local\\tralvonic-host-interrupt-" + std::to_wstring(_handles->Id);
    if (HANDLE interrupt = OpenEventW(EVENT_MODIFY_STATE, FALSE, name.c_str())) {
        SetEvent(interrupt);
        CloseHandle(interrupt);
    }
}

bool HostProcess::ReadSome(Clock::time_point end) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
    if (left <= 0) {
        return false;
    }
    char buffer[4096];
    OVERLAPPED overlapped{};
    overlapped.hEvent = _handles->Event;
    DWORD count = 0;
    if (!ReadFile(_handles->Output, buffer, sizeof buffer, nullptr, &overlapped)) {
        if (GetLastError() != ERROR_IO_PENDING) {
            return false; // the program's output ended
        }
        if (WaitForSingleObject(_handles->Event, static_cast<DWORD>(left)) != WAIT_OBJECT_0) {
            // The deadline: the read is taken back, and whatever it still got is kept.
            CancelIoEx(_handles->Output, &overlapped);
        }
    }
    if (!GetOverlappedResult(_handles->Output, &overlapped, &count, TRUE) || count == 0) {
        return false;
    }
    // The program's C runtime ends lines with CR LF on Windows; the tests read lines as on Linux.
    const std::size_t from = Output.empty() ? 0 : Output.size() - 1;
    Output.append(buffer, count);
    for (std::size_t at = Output.find("\r\n", from); at != std::string::npos; at = Output.find("\r\n", at)) {
        Output.erase(at, 1);
    }
    return true;
}

} // namespace Tralvonic::Test
