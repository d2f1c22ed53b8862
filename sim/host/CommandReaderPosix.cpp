// Standard input on Linux: poll it beside a pipe that the destructor writes to, so the reading
// thread ends at once and is joined.

#include "Commands.h"

#include <poll.h>
#include <unistd.h>

namespace Tralvonic::Sim::Host {

struct CommandReader::Input {
    int Wake[2] = {-1, -1};
};

CommandReader::CommandReader(SimulatedClient& client, PluginDriver& driver, std::function<void()> stop)
    : _client(client), _driver(driver), _stop(std::move(stop)), _input(std::make_shared<Input>()) {
    if (pipe(_input->Wake) != 0) {
        return;
    }
    _thread = std::thread([this, input = _input] { Run(input); });
}

CommandReader::~CommandReader() {
    if (_input->Wake[1] >= 0) {
        const char byte = 0;
        [[maybe_unused]] const auto written = write(_input->Wake[1], &byte, 1);
    }
    if (_thread.joinable()) {
        _thread.join();
    }
    for (const int end : _input->Wake) {
        if (end >= 0) {
            close(end);
        }
    }
}

void CommandReader::Run(std::shared_ptr<Input> input) {
    char buffer[256];
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {input->Wake[0], POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            continue;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return;
        }
        if ((fds[0].revents & (POLLIN | POLLHUP)) == 0) {
            if ((fds[0].revents & (POLLERR | POLLNVAL)) != 0) {
                return;
            }
            continue;
        }
        const ssize_t count = read(STDIN_FILENO, buffer, sizeof(buffer));
        if (count <= 0) {
            // The input ended; the host runs on until it is stopped by a signal.
            return;
        }
        Feed(std::string_view(buffer, static_cast<std::size_t>(count)));
    }
}

} // namespace Tralvonic::Sim::Host
