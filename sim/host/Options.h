#pragma once
// tralvonic-host's command line: the plugin library, the voices of simulated clients, the
// recordings of what the user hears and sends, and the built-in game session.
//   tralvonic-host [PLUGIN.so] [--voice NAME=FILE.wav|NAME=tone:HZ]... [--record FILE.wav]
//                  [--record-mic FILE.wav] [--demo [--demo-speed N] [--stay]] [console options,
//                  console/ConsoleOptions.h]

#include "console/ConsoleOptions.h"

#include <optional>
#include <string>
#include <vector>

namespace Tralvonic::Sim::Host {

struct VoiceOption {
    std::string Name;   // the client's nickname
    std::string Source; // a WAV file or "tone:HZ"
};

struct DemoOption {
    // The scene's pauses are divided by this (1 to 100), so a test plays it in seconds.
    int Speed = 1;
    // Keep running after the scene ended, until Ctrl-C or "quit"; without it the program stops.
    bool Stay = false;
};

struct Options {
    std::optional<std::string> PluginPath;
    std::vector<VoiceOption> Voices;
    std::optional<std::string> Record;
    std::optional<std::string> RecordMicrophone;
    std::optional<DemoOption> Demo;
    ConsoleOptions Console;
};

// Throws std::invalid_argument with a usage line for anything it does not understand.
Options ParseOptions(int argc, char** argv);

} // namespace Tralvonic::Sim::Host
