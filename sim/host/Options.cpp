#include "Options.h"

#include <charconv>
#include <stdexcept>
#include <string_view>

namespace Tralvonic::Sim::Host {

namespace {

const std::string Usage =
    "usage: tralvonic-host [PLUGIN.so] [--voice NAME=FILE.wav|NAME=tone:HZ]... [--record FILE.wav] "
    "[--record-mic FILE.wav] [--demo [--demo-speed N] [--stay]] " +
    std::string(ConsoleUsage);

constexpr int MaximumDemoSpeed = 100;

std::invalid_argument UsageError(const std::string& why) {
    return std::invalid_argument(why + "\n" + Usage);
}

int DemoSpeed(const std::string& text) {
    int speed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), speed);
    if (error != std::errc() || end != text.data() + text.size() || speed < 1 || speed > MaximumDemoSpeed) {
        throw UsageError("--demo-speed wants a whole number from 1 to " + std::to_string(MaximumDemoSpeed) +
                         ", not " + text);
    }
    return speed;
}

} // namespace

Options ParseOptions(int argc, char** argv) {
    Options options;
    std::optional<int> demoSpeed;
    bool stay = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                throw UsageError(argument + " needs a value");
            }
            return argv[++i];
        };
        if (ParseConsoleOption(argument, value, options.Console)) {
            continue;
        }
        if (argument == "--voice") {
            const std::string voice = value();
            const auto equals = voice.find('=');
            if (equals == std::string::npos || equals == 0 || equals + 1 == voice.size()) {
                throw UsageError("--voice wants NAME=FILE.wav or NAME=tone:HZ, not " + voice);
            }
            options.Voices.push_back({voice.substr(0, equals), voice.substr(equals + 1)});
        } else if (argument == "--record") {
            options.Record = value();
        } else if (argument == "--record-mic") {
            options.RecordMicrophone = value();
        } else if (argument == "--demo") {
            options.Demo = DemoOption{};
        } else if (argument == "--demo-speed") {
            demoSpeed = DemoSpeed(value());
        } else if (argument == "--stay") {
            stay = true;
        } else if (argument.starts_with("--") || options.PluginPath) {
            throw UsageError("unknown argument " + argument);
        } else {
            options.PluginPath = argument;
        }
    }
    if ((demoSpeed || stay) && !options.Demo) {
        throw UsageError("--demo-speed and --stay belong to --demo");
    }
    if (options.Demo) {
        options.Demo->Speed = demoSpeed.value_or(1);
        options.Demo->Stay = stay;
    }
    return options;
}

} // namespace Tralvonic::Sim::Host
