// Standard input on Windows: a blocking read on a thread of its own. Windows can cancel that
// read (CancelSynchronousIo), Wine cannot when the input is a pipe from Linux; so the
// destructor closes the door instead: once it has run, whatever the read still returns is
// dropped, and a thread still blocked in the read is left to end with the process, holding
// only its share of the input state.

#include "Commands.h"

#include <windows.h>

#include <mutex>

namespace Tralvonic::Sim::Host {

struct CommandReader::Input {
    std::mutex Mutex;
    bool Closed = false; // guarded by Mutex; set by the destructor
    bool Ended = false;  // guarded by Mutex; set as the thread's last step
    HANDLE Thread = nullptr;
};

CommandReader::CommandReader(SimulatedClient& client, PluginDriver& driver, std::function<void()> stop)
    : _client(client), _driver(driver), _stop(std::move(stop)), _input(std::make_shared<Input>()) {
    _thread = std::thread([this, input = _input] { Run(input); });
}

CommandReader::~CommandReader() {
    bool ended = false;
    {
        std::lock_guard lock(_input->Mutex);
        _input->Closed = true;
        ended = _input->Ended;
        if (!ended && _input->Thread != nullptr) {
            CancelSynchronousIo(_input->Thread);
        }
    }
    if (!_thread.joinable()) {
        return;
    }
    if (ended) {
        _thread.join();
    } else {
        _thread.detach();
    }
}

void CommandReader::Run(std::shared_ptr<Input> input) {
    HANDLE self = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    {
        std::lock_guard lock(input->Mutex);
        input->Thread = self;
    }
    const HANDLE standardInput = GetStdHandle(STD_INPUT_HANDLE);
    char buffer[256];
    for (;;) {
        DWORD count = 0;
        const bool read = standardInput != nullptr && standardInput != INVALID_HANDLE_VALUE &&
                          ReadFile(standardInput, buffer, sizeof buffer, &count, nullptr) && count > 0;
        std::lock_guard lock(input->Mutex);
        if (!read || input->Closed) {
            // The input ended, or nobody listens any more; the host runs on until it is stopped.
            input->Ended = true;
            input->Thread = nullptr;
            if (self != nullptr) {
                CloseHandle(self);
            }
            return;
        }
        Feed(std::string_view(buffer, count));
    }
}

} // namespace Tralvonic::Sim::Host
