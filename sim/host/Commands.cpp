#include "Commands.h"

#include "PluginDriver.h"
#include "SimulatedClient.h"

#include <cctype>
#include <cstdio>
#include <string_view>
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

void CommandReader::PrintHelp() {
    std::printf("[sim] commands: menu settings | menu troubleshooting | calls FUNCTION | help | quit\n");
}

void CommandReader::Feed(std::string_view bytes) {
    for (const char byte : bytes) {
        if (byte != '\n') {
            if (_line.size() < MaxLineLength) {
                _line += byte;
            } else {
                _overlong = true;
            }
            continue;
        }
        if (_overlong) {
            std::printf("[sim] line too long, ignored\n");
        } else {
            Execute(Trimmed(_line));
        }
        _line.clear();
        _overlong = false;
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
