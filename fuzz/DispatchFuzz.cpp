// The whole way of a game message through the plugin: the plugin started by its exports in
// the simulated client, a game instance running on a connected server with the user in the
// in-game channel, and every input handed to the message dispatch as a game's text message.
// Host events that the input causes are delivered before the next input.

#include "core/Platform.h"
#include "link/MessageDispatch.h"
#include "support/FakePlatform.h"

#include "LinkedPluginExports.h"
#include "PluginDriver.h"
#include "SimulatedClient.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using namespace Tralvonic;

// Lives until the process ends: libFuzzer leaves by exit(), and the plugin's threads may
// still run then.
struct PluginUnderFuzz {
    PluginUnderFuzz() {
        Folder = std::filesystem::temp_directory_path() / ("tralvonic-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(Folder / "Tralvonic" / "default");
        std::filesystem::copy_file(TRALVONIC_VOICE_LIBRARY,
                                   Folder / "Tralvonic" / "VoiceDistortion_linux_amd64.so",
                                   std::filesystem::copy_options::overwrite_existing);
        // Quiet enough for speed, loud enough that every log text of the dispatch is built.
        std::ofstream(Folder / "Tralvonic" / "settings.json")
            << R"({"WebSocketAddress":"127.0.0.1:0","LogLevel":"ExtensiveDebug","InstanceTimeout":100000,)"
               R"("UpdateBranch":"Testing"})";
        std::ofstream(Folder / "Tralvonic" / "default" / "shot.wav") << "RIFF";
        System.Directory = Folder.string();
        Platform::SetCurrent(&System);

        auto& tab = Sim.AddServer("fuzz-server-uid=", "Fuzz");
        const auto lobby = tab.AddChannel("Lobby");
        Ingame = tab.AddChannel("Ingame");
        const auto support = tab.AddChannel("Support");
        tab.AddChannel("Below", support);
        tab.AddOwnClient("Me", lobby);
        tab.AddClient("Anna", Ingame);
        tab.AddClient("Ben", Ingame);
        tab.AddClient("Hero", lobby);

        Driver = std::make_unique<Sim::PluginDriver>(Sim, Sim::LinkedPluginExports());
        if (Driver->Start() != 0) {
            std::fprintf(stderr, "the plugin did not start\n");
            std::abort();
        }
        MessageDispatch::OnMessage(nullptr,
                                   R"({"Command":1,"Parameter":{"ServerUniqueIdentifier":"fuzz-server-uid=",)"
                                   R"("Name":"Hero","ChannelId":)" +
                                       std::to_string(Ingame) + R"(,"SwissChannelIds":[)" +
                                       std::to_string(support) + "]}}");
        Sim.WaitForEvents();
    }

    std::filesystem::path Folder;
    Testing::FakePlatform System;
    Sim::SimulatedClient Sim;
    std::unique_ptr<Sim::PluginDriver> Driver;
    TeamSpeak::uint64 Ingame = 0;
};

PluginUnderFuzz& Plugin() {
    static auto* plugin = new PluginUnderFuzz();
    return *plugin;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Plugin();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    auto& plugin = Plugin();
    MessageDispatch::OnMessage(nullptr, std::string(reinterpret_cast<const char*>(data), size));
    plugin.Sim.WaitForEvents(std::chrono::milliseconds(1000));
    return 0;
}
