#include "core/Base.h"
#include "effects/VoiceDistortion.h"
#include "link/WebSocket.h"
#include "support/FakePlatform.h"
#include "support/OccupiedPort.h"

#include "SimulatedClient.h"
#include "TeamSpeak/Base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

namespace Tralvonic {
namespace {

namespace fs = std::filesystem;

const fs::path CompleteEffectLibrary =
    fs::path(TEST_EFFECTS_DIRECTORY) / "complete" / TRALVONIC_VOICE_FILE_NAME;

// A plugin folder in a fresh temporary directory, with the simulated host and a recording
// platform installed for the test.
class PluginStartTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        _directory = fs::temp_directory_path() / ("tralvonic-start-" + std::to_string(random()));
        fs::create_directories(_directory / "Tralvonic");
        _platform.Directory = _directory.string();
        TeamSpeak::Base::SetFunctions(_host.Functions());
        Base::SetConfiguration(Configuration{});
    }

    void TearDown() override {
        Base::OnPluginStop();
        Base::SetConfiguration(Configuration{});
        // The effect library stays loaded until the plugin itself unloads, which in this test
        // process is at its end; Windows keeps a loaded library's file from being removed.
        std::error_code kept;
        fs::remove_all(_directory, kept);
    }

    void InstallEffectLibrary() { fs::copy_file(CompleteEffectLibrary, EffectLibraryPath()); }
    fs::path EffectLibraryPath() const { return _directory / "Tralvonic" / TRALVONIC_VOICE_FILE_NAME; }

    void WriteSettings(const std::string& json) {
        std::ofstream(_directory / "Tralvonic" / "settings.json", std::ios::binary) << json;
    }

    bool Logged(const std::string& message) const {
        const auto log = _host.LogEntries();
        return std::any_of(log.begin(), log.end(),
                           [&](const Sim::LogEntry& entry) { return entry.Message == message; });
    }

    Sim::SimulatedClient _host;
    Testing::FakePlatform _platform;
    Testing::ScopedPlatform _installed{_platform};
    fs::path _directory;
};

TEST_F(PluginStartTest, WorkingEffectLibraryStartsTheGameLinkWithTheLoadedSettings) {
    InstallEffectLibrary();
    WriteSettings(R"({"ExpertMode":true,"WebSocketAddress":"127.0.0.1:0","LogLevel":"Extensive"})");

    EXPECT_EQ(Base::OnPluginStart(), 0);

    EXPECT_EQ(Base::ExtensionFilepath(), _directory.string());
    EXPECT_EQ(Base::CurrentConfiguration()->LogLevel, LogLevel::Extensive);
    auto webSocket = Base::WebSocket();
    ASSERT_NE(webSocket, nullptr);
    EXPECT_TRUE(webSocket->IsStarted());
    EXPECT_TRUE(_platform.Boxes().empty());
    EXPECT_TRUE(Logged("Starting Tralvonic 3.1.2"));
    EXPECT_TRUE(Logged("WebSocket started"));
    EXPECT_TRUE(Logged("Startup successful"));

    Base::OnPluginStop();
    EXPECT_FALSE(webSocket->IsStarted());
    EXPECT_EQ(Base::WebSocket(), nullptr);
    EXPECT_TRUE(Logged("WebSocket stopped"));
    EXPECT_TRUE(Logged("Stopped"));
}

TEST_F(PluginStartTest, MissingEffectLibraryShowsOnlyTheCorruptInstallationBox) {
    WriteSettings(R"({"ExpertMode":true,"LogLevel":"Debug"})");

    EXPECT_EQ(Base::OnPluginStart(), 1);

    const auto boxes = _platform.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "Tralvonic");
    EXPECT_EQ(boxes[0].Buttons, MessageBoxButtons::Ok);
    EXPECT_EQ(boxes[0].Icon, MessageBoxIcon::Error);
    EXPECT_EQ(boxes[0].Text,
              "The installation of Tralvonic is corrupt. A critical library file is missing, which is "
              "needed for voice distortion operations.\r\n\r\nPlease close TeamSpeak and try installing "
              "Tralvonic one more time. If you still run into this issue, please contact us through our "
              "Discord for support.");
    EXPECT_TRUE(_platform.SoftwareQueries().empty());
    // Nothing else is started and the settings are not read.
    EXPECT_EQ(Base::WebSocket(), nullptr);
    EXPECT_EQ(Base::CurrentConfiguration()->LogLevel, LogLevel::Info);
}

TEST_F(PluginStartTest, UnloadableLibraryWithoutItsRuntimeOffersTheRuntimeDownload) {
    std::ofstream(EffectLibraryPath()) << "not a shared library";
    _platform.RuntimeInstalled = false;
    _platform.Answer = MessageBoxResult::Yes;

    EXPECT_EQ(Base::OnPluginStart(), 1);

    const auto boxes = _platform.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Buttons, MessageBoxButtons::YesNo);
    EXPECT_EQ(boxes[0].Icon, MessageBoxIcon::Information);
    EXPECT_EQ(boxes[0].Text,
              "Tralvonic needs \"" + std::string(Platform::RuntimeName()) +
                  "\" to run, but it seems like you don't have it installed.\r\n\r\nDownload now?");
    EXPECT_EQ(_platform.OpenedAddresses(),
              std::vector<std::string>{std::string(Platform::RuntimeDownloadAddress())});
    EXPECT_EQ(Base::WebSocket(), nullptr);
}

TEST_F(PluginStartTest, DecliningTheRuntimeDownloadOpensNothing) {
    std::ofstream(EffectLibraryPath()) << "not a shared library";
    _platform.RuntimeInstalled = false;
    _platform.Answer = MessageBoxResult::No;

    EXPECT_EQ(Base::OnPluginStart(), 1);
    EXPECT_EQ(_platform.Boxes().size(), 1u);
    EXPECT_TRUE(_platform.OpenedAddresses().empty());
}

TEST_F(PluginStartTest, UnloadableLibraryWithItsRuntimePresentFailsSilently) {
    std::ofstream(EffectLibraryPath()) << "not a shared library";
    _platform.RuntimeInstalled = true;

    EXPECT_EQ(Base::OnPluginStart(), 1);
    EXPECT_TRUE(_platform.Boxes().empty());
    EXPECT_EQ(_platform.SoftwareQueries().size(), 1u);
}

TEST_F(PluginStartTest, AnAddressInUseLeavesThePluginRunningWithoutAGameLink) {
    const Testing::OccupiedPort taken;
    InstallEffectLibrary();
    WriteSettings(R"({"ExpertMode":true,"WebSocketAddress":"127.0.0.1:)" + std::to_string(taken.Port()) +
                  R"("})");

    EXPECT_EQ(Base::OnPluginStart(), 0);
    auto webSocket = Base::WebSocket();
    ASSERT_NE(webSocket, nullptr);
    EXPECT_FALSE(webSocket->IsStarted());
    EXPECT_FALSE(Logged("WebSocket started"));
}

} // namespace
} // namespace Tralvonic
