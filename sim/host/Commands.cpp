#include "Commands.h"

#include "PluginDriver.h"
#include "SimulatedClient.h"

#include <cctype>
#include <cstdio>
#include <poll.h>
#include <string_view>
#include <unistd.h>
#include <utility>

namespace Tralvonic::Sim::Host {

namespace {

// A line longer than this is dropped whole; no command comes close.
constexpr std::size_t MaxLineLength = 1024;

std::string Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return std::string(text.substr(first, last - first + 1));
}

} // namespace

CommandReader::CommandReader(SimulatedClient& client, PluginDriver& driver, std::function<void()> stop)
    : _client(client), _driver(driver), _stop(std::move(stop)) {
    if (pipe(_wake) != 0) {
        _wake[0] = _wake[1] = -1;
        return;
    }
    _thread = std::thread([this] { Run(); });
}

CommandReader::~CommandReader() {
    if (_wake[1] >= 0) {
        const char byte = 0;
        [[maybe_unused]] const auto written = write(_wake[1], &byte, 1);
    }
    if (_thread.joinable()) {
        _thread.join();
    }
    for (const int end : _wake) {
        if (end >= 0) {
            close(end);
        }
    }
}

void CommandReader::PrintHelp() {
    std::printf("[sim] commands: menu settings | menu troubleshooting | calls FUNCTION | help | quit\n");
}

void CommandReader::Run() {
    std::string line;
    bool overlong = false;
    char buffer[256];
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {_wake[0], POLLIN, 0}};
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
        for (ssize_t i = 0; i < count; ++i) {
            if (buffer[i] != '\n') {
                if (line.size() < MaxLineLength) {
                    line += buffer[i];
                } else {
                    overlong = true;
                }
                continue;
            }
            if (overlong) {
                std::printf("[sim] line too long, ignored\n");
            } else {
                Execute(Trimmed(line));
            }
            line.clear();
            overlong = false;
        }
    }
}

void CommandReader::Execute(const std::string& command) {
    if (command.empty()) {
        return;
    }
    if (command == "help") {
        PrintHelp();
        return;
    }
    if (command == "quit") {
        _stop();
        return;
    }
    const std::string calls = "calls ";
    if (command.rfind(calls, 0) == 0) {
        const std::string function = Trimmed(command.substr(calls.size()));
        std::printf("[sim] calls %s: %zu\n", function.c_str(), _client.CallCount(function));
        return;
    }
    const std::string prefix = "menu ";
    if (command.rfind(prefix, 0) == 0) {
        const std::string wanted = Trimmed(command.substr(prefix.size()));
        for (const MenuEntry& entry : _driver.Menus()) {
            std::string text = entry.Text;
            for (char& character : text) {
                character = static_cast<char>(std::tolower(static_cast<unsigned char>(character)));
            }
            if (text == wanted) {
                std::printf("[sim] menu \"%s\" selected\n", entry.Text.c_str());
                _driver.SelectMenuItem(0, entry.Id, entry.Type);
                return;
            }
        }
        std::printf("[sim] no menu entry \"%s\"\n", wanted.c_str());
        return;
    }
    std::printf("[sim] unknown command \"%s\"; type help\n", command.c_str());
}

} // namespace Tralvonic::Sim::Host
