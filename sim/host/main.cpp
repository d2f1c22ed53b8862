// tralvonic-host: the simulated TeamSpeak client as a program. It loads a plugin library
// (the built tralvonic_linux_amd64.so beside this program unless one is named on the
// command line), connects it to a simulated server and prints what the plugin does until
// SIGINT, SIGTERM or the command "quit" on standard input, which also opens the plugin's menu
// entries ("menu settings", "menu troubleshooting"; "help" lists the commands); then it shuts
// the plugin down once and unloads it. With --demo a built-in game session plays a scene
// against the plugin's game link, and the program stops when it is over (unless --stay).
// Meanwhile a web console on 127.0.0.1 shows the scene and acts as the host would
// (console/Console.h).

#include "Commands.h"
#include "DefaultWorld.h"
#include "GameView.h"
#include "LiveLog.h"
#include "VoiceOptions.h"
#include "console/Console.h"
#include "demo/DemoSession.h"

#include "PluginDriver.h"
#include "SimulatedClient.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <pthread.h>
#include <string>

namespace {

constexpr const char* DefaultPluginName = "tralvonic_linux_amd64.so";

std::filesystem::path DefaultPluginPath() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return (error ? std::filesystem::current_path() : program.parent_path()) / DefaultPluginName;
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
    std::printf("[sim] wrote %s (log level Extensive)\n", settings.c_str());
}

int Run(const std::filesystem::path& pluginPath, const Tralvonic::Sim::Host::Options& options,
        const sigset_t& stopSignals) {
    using namespace Tralvonic::Sim;
    SimulatedClient client;
    SimServer& server = Host::BuildDefaultWorld(client);
    Host::PrintLiveLog(client);

    PrepareSettings(pluginPath);
    auto driver = PluginDriver::Load(client, pluginPath.string());
    std::printf("[sim] loaded %s (%s %s)\n", pluginPath.c_str(), driver->Exports().name(),
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
    int signal = 0;
    bool demoFailed = false;
    {
        const pthread_t mainThread = pthread_self();
        Host::CommandReader commands(client, *driver, [mainThread] { pthread_kill(mainThread, SIGTERM); });
        Host::CommandReader::PrintHelp();

        // --- the built-in game session (--demo); gone before the plugin shuts down ---
        std::unique_ptr<Host::Demo::DemoSession> demo;
        if (options.Demo) {
            const bool stay = options.Demo->Stay;
            demo = std::make_unique<Host::Demo::DemoSession>(
                client, server, pluginPath.parent_path() / "Tralvonic" / "settings.json", options.Demo->Speed,
                gameView, [mainThread, stay](bool) {
                    if (stay) {
                        std::printf("[demo] tralvonic-host keeps running; press Ctrl-C to stop\n");
                    } else {
                        pthread_kill(mainThread, SIGTERM);
                    }
                });
        }

        sigwait(&stopSignals, &signal);
        demoFailed = demo && demo->Failed();
        demo.reset();
    }
    std::printf("[sim] %s received; shutting the plugin down\n", signal == SIGINT ? "SIGINT" : "SIGTERM");
    console.Stop();
    driver->Shutdown();
    driver.reset();
    std::printf("[sim] plugin unloaded\n");
    return demoFailed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    // Blocked before any thread starts, so every thread inherits the mask and the signals
    // reach only the sigwait in Run.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

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
                    pluginPath.c_str(), argc > 0 ? argv[0] : "tralvonic-host");
        return 0;
    }
    try {
        return Run(pluginPath, options, stopSignals);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "[sim] %s\n", error.what());
        return 1;
    }
}
