#include "core/NativePlatform.h"
#include "support/FakePlatform.h"

#include "SimulatedClient.h"
#include "TeamSpeak/Base.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Tralvonic {
namespace {

TEST(PlatformTest, PluginDirectoryIsTheFolderOfTheBinaryHoldingThePlugin) {
    // Linked statically into the test program, the plugin's code lives in that program.
    NativePlatform platform;
    const auto program = std::filesystem::canonical("/proc/self/exe");
    EXPECT_EQ(std::filesystem::canonical(platform.PluginDirectory()), program.parent_path());
}

TEST(PlatformTest, RuntimeCheckAnswersOnlyForTheRuntimeTheEffectLibraryNeeds) {
    NativePlatform platform;
    EXPECT_TRUE(platform.IsSoftwareInstalled(Platform::RuntimeName()));
    EXPECT_FALSE(platform.IsSoftwareInstalled("Microsoft Visual C++ 2015-2019 Redistributable (x64)"));
}

TEST(PlatformTest, PathsAndFiles) {
    EXPECT_EQ(Platform::JoinPath("/a/plugins", "Tralvonic"), "/a/plugins/Tralvonic");
    EXPECT_EQ(Platform::JoinPath("/a/plugins/", "Tralvonic"), "/a/plugins/Tralvonic");
    EXPECT_EQ(Platform::EffectLibraryFileName(), "VoiceDistortion_linux_amd64.so");

    NativePlatform platform;
    EXPECT_TRUE(platform.FileExists("/proc/self/exe"));
    EXPECT_FALSE(platform.FileExists("/"));
    EXPECT_FALSE(platform.FileExists("/no/such/file"));

    std::string error;
    EXPECT_EQ(platform.OpenLibrary("/no/such/library.so", error), nullptr);
    EXPECT_NE(error.find("/no/such/library.so"), std::string::npos) << error;
}

TEST(PlatformTest, WithoutADisplayABoxIsLoggedAndAnsweredNo) {
    Sim::SimulatedClient host;
    TeamSpeak::Base::SetFunctions(host.Functions());
    NativePlatform native;
    EXPECT_EQ(native.ShowMessageBox("Tralvonic", "Question?", MessageBoxButtons::YesNo,
                                    MessageBoxIcon::Information),
              MessageBoxResult::No);
    EXPECT_EQ(native.ShowMessageBox("Tralvonic", "Note", MessageBoxButtons::Ok, MessageBoxIcon::Error),
              MessageBoxResult::Ok);
    const auto log = host.LogEntries();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].Message.find("Question?"), std::string::npos);
    EXPECT_EQ(log[0].Channel, "Tralvonic");
    EXPECT_EQ(log[0].LogId, 2u);
}

TEST(PlatformTest, AnInstalledPlatformReplacesTheNativeOneForItsScope) {
    Testing::FakePlatform fake;
    fake.Answer = MessageBoxResult::Yes;
    {
        Testing::ScopedPlatform installed(fake);
        EXPECT_EQ(&Platform::Current(), &fake);
        EXPECT_EQ(Platform::Current().ShowMessageBox("C", "T", MessageBoxButtons::YesNo,
                                                     MessageBoxIcon::Information),
                  MessageBoxResult::Yes);
    }
    EXPECT_NE(&Platform::Current(), &fake);
    ASSERT_EQ(fake.Boxes().size(), 1u);
    EXPECT_EQ(fake.Boxes()[0].Caption, "C");
}

} // namespace
} // namespace Tralvonic
