// tralvonic-host: the simulated TeamSpeak client as a program. It loads a plugin library
// (the built plugin library, tralvonic_linux_amd64.so or tralvonic_win64.dll, beside this
// program unless one is named on the command line), connects it to a simulated server and prints what the
// plugin does until Ctrl-C (SIGINT), SIGTERM or the command "quit" on standard input, which also opens the
// plugin's menu entries ("menu settings", "menu troubleshooting"; "help" lists the commands); then it shuts
// the plugin down once and unloads it. With --demo a built-in game session plays a scene
// against the plugin's game link, and the program stops when it is over (unless --stay).
// Meanwhile a web console on 127.0.0.1 shows the scene and acts as the host would
// (console/Console.h).

#include "Commands.h"
#include "DefaultWorld.h"
#include "GameView.h"
#include "LiveLog.h"
#include "ProgramPath.h"
#include "StopSignal.h"
#include "VoiceOptions.h"
#include "console/Console.h"
#include "demo/DemoSession.h"

#include "PluginDriver.h"
#include "SimulatedClient.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using Tralvonic::Sim::Host::PathText;
using Tralvonic::Sim::Host::StopSignal;

// The plugin library of this platform's build, as CMake names it.
constexpr const char* DefaultPluginName = TRALVONIC_DEFAULT_PLUGIN;

std::filesystem::path DefaultPluginPath() {
    return Tralvonic::Sim::Host::ProgramDirectory() / DefaultPluginName;
}

// A first run gets settings that let the live log show the plugin's every step; settings
// the user wrote are left as they are.
void PrepareSettings(const std::filesystem::path& pluginPath) {
    const auto settings = pluginPath.parent_path() / "Tralvonic" / "settings.json";
    std::error_code error;
    if (std::filesystem::exists(settings, error)) {
        return;
    }
    std::filesystem::create_directories(settings.parent_path(), error);
    std::ofstream(settings) << R"({"LogLevel":"Extensive","ExpertMode":true})" << '\n';
    std::printf("[sim] wrote %s (log level Extensive)\n", PathText(settings).c_str());
}

int Run(const std::filesystem::path& pluginPath, const Tralvonic::Sim::Host::Options& options) {
    using namespace Tralvonic::Sim;
    SimulatedClient client;
    SimServer& server = Host::BuildDefaultWorld(client);
    Host::PrintLiveLog(client);

    PrepareSettings(pluginPath);
    auto driver = PluginDriver::Load(client, PathText(pluginPath));
    std::printf("[sim] loaded %s (%s %s)\n", PathText(pluginPath).c_str(), driver->Exports().name(),
                driver->Exports().version());
    if (const int result = driver->Start(); result != 0) {
        std::printf("[sim] the plugin's init failed (%d); unloading\n", result);
        return 1;
    }
    // Voices go to clients by the names they have before the plugin renames anyone.
    Host::Recordings recordings;
    recordings.Apply(options, server, driver->Audio());
    std::printf("[sim] plugin started; connecting to the simulated server\n");
    server.Connect();
    driver->Audio().Start();
    // The scene a built-in game session publishes; the console draws it beside the host's view.
    Host::GameView gameView;
    Host::Console console(client, server, &gameView, options.Console);
    std::printf("[sim] running; press Ctrl-C to stop\n");
    std::string signal;
    bool demoFailed = false;
    {
        Host::CommandReader commands(client, *driver, [] { StopSignal::Request(); });
        Host::CommandReader::PrintHelp();

        // --- the built-in game session (--demo); gone before the plugin shuts down ---
        std::unique_ptr<Host::Demo::DemoSession> demo;
        if (options.Demo) {
            const bool stay = options.Demo->Stay;
            demo = std::make_unique<Host::Demo::DemoSession>(
                client, server, pluginPath.parent_path() / "Tralvonic" / "settings.json", options.Demo->Speed,
                gameView, [stay](bool) {
                    if (stay) {
                        std::printf("[demo] tralvonic-host keeps running; press Ctrl-C to stop\n");
                    } else {
                        StopSignal::Request();
                    }
                });
        }

        signal = StopSignal::Wait();
        demoFailed = demo && demo->Failed();
        demo.reset();
    }
    std::printf("[sim] %s received; shutting the plugin down\n", signal.c_str());
    console.Stop();
    driver->Shutdown();
    driver.reset();
    std::printf("[sim] plugin unloaded\n");
    return demoFailed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    StopSignal::Install();

    Tralvonic::Sim::Host::Options options;
    try {
        options = Tralvonic::Sim::Host::ParseOptions(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "[sim] %s\n", error.what());
        return 2;
    }
    const std::filesystem::path pluginPath =
        options.PluginPath ? std::filesystem::path(*options.PluginPath) : DefaultPluginPath();
    if (!std::filesystem::exists(pluginPath)) {
        std::printf("[sim] no plugin library at %s; build the plugin first, or name one: %s PLUGIN.so\n",
                    PathText(pluginPath).c_str(), argc > 0 ? argv[0] : "tralvonic-host");
        return 0;
    }
    try {
        return Run(pluginPath, options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "[sim] %s\n", error.what());
        return 1;
    }
}
