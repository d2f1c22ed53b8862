// Loading and saving settings.json through the plugin core, with the host log of a
// simulated client. Each test works in its own plugin directory.

#include "core/Base.h"
#include "core/ConfigurationJson.h"

#include "SimulatedClient.h"
#include "TeamSpeak/Base.h"

#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using Tralvonic::Base;
using Tralvonic::Configuration;
using Tralvonic::LogLevel;
using Tralvonic::UpdateBranch;
using Tralvonic::Sim::LogEntry;

constexpr int HostSeverityError = 1;
constexpr int HostSeverityInfo = 4;
constexpr std::uint64_t BaseChannel = 2;
constexpr const char* NotFoundLine = "Could not find settings.json - loading default configuration";
constexpr const char* LoadingLine = "Loading configuration (settings.json)...";
constexpr const char* LoadedLine = "settings.json successfully loaded";

class SettingsFile : public ::testing::Test {
protected:
    SettingsFile() {
        TeamSpeak::Base::SetFunctions(_sim.Functions());
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        _root = fs::temp_directory_path() / ("tralvonic-" + std::to_string(::getpid()) + "-" + test->name());
        fs::remove_all(_root);
        fs::create_directories(_root / "Tralvonic");
        Base::SetExtensionFilepath(_root.string());
        Base::SetConfiguration(Configuration{});
    }

    ~SettingsFile() override {
        Base::SetConfiguration(Configuration{});
        Base::SetExtensionFilepath("");
        std::error_code ignored;
        fs::remove_all(_root, ignored);
    }

    fs::path SettingsPath() const { return _root / "Tralvonic" / "settings.json"; }

    void WriteSettings(const std::string& text) const {
        std::ofstream file(SettingsPath(), std::ios::binary);
        file << text;
    }

    std::string ReadSettings() const {
        std::ifstream file(SettingsPath(), std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::vector<LogEntry> Lines() const { return _sim.LogEntries(); }

    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        for (const auto& entry : _sim.LogEntries())
            messages.push_back(entry.Message);
        return messages;
    }

    // Loads `text` and expects the broken-file outcome: defaults, one error line, file untouched.
    void ExpectRejected(const std::string& text) {
        WriteSettings(text);
        Configuration custom;
        custom.InstanceTimeout = 99;
        Base::SetConfiguration(custom);
        _sim.ClearLog();

        Base::LoadConfiguration();

        EXPECT_EQ(*Base::CurrentConfiguration(), Configuration{}) << text;
        EXPECT_EQ(ReadSettings(), text);
        const auto lines = Lines();
        ASSERT_EQ(lines.size(), 2u) << text;
        EXPECT_EQ(lines[0].Message, LoadingLine);
        EXPECT_EQ(lines[1].Severity, HostSeverityError);
        EXPECT_EQ(lines[1].Channel, "Tralvonic");
        EXPECT_EQ(lines[1].LogId, BaseChannel);
        EXPECT_TRUE(lines[1].Message.starts_with("Error loading settings.json:\r\n")) << lines[1].Message;
        EXPECT_GT(lines[1].Message.size(), std::string("Error loading settings.json:\r\n").size());
    }

    Tralvonic::Sim::SimulatedClient _sim;
    fs::path _root;
};

TEST_F(SettingsFile, PathIsThePluginFolderThenTralvonic) {
    EXPECT_EQ(Base::ConfigFilepath(), (_root / "Tralvonic" / "settings.json").string());
}

TEST_F(SettingsFile, MissingFileGivesDefaultsAndIsNotCreated) {
    Configuration custom;
    custom.Is3dEnabled = false;
    Base::SetConfiguration(custom);

    Base::LoadConfiguration();

    EXPECT_EQ(*Base::CurrentConfiguration(), Configuration{});
    EXPECT_FALSE(fs::exists(SettingsPath()));
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Message, NotFoundLine);
    EXPECT_EQ(lines[0].Severity, HostSeverityInfo);
    EXPECT_EQ(lines[0].Channel, "Tralvonic");
    EXPECT_EQ(lines[0].LogId, BaseChannel);
}

TEST_F(SettingsFile, BrokenFilesGiveDefaultsAndAreLeftUntouched) {
    for (const std::string text :
         {"", "null", "{\"LogLevel\":", "[1,2]", "{\"InstanceTimeout\":\"6\"}", "\"x\""}) {
        ExpectRejected(text);
    }
}

TEST_F(SettingsFile, UnreadableFileIsAnErrorToo) {
    fs::create_directory(SettingsPath());
    Base::LoadConfiguration();
    EXPECT_EQ(*Base::CurrentConfiguration(), Configuration{});
    EXPECT_TRUE(fs::is_directory(SettingsPath()));
    ASSERT_EQ(Lines().size(), 2u);
    EXPECT_EQ(Lines()[1].Severity, HostSeverityError);
}

TEST_F(SettingsFile, OnlyIs3dEnabledKeepsEveryOtherDefault) {
    WriteSettings(R"({"Is3dEnabled":false})");
    Base::LoadConfiguration();
    Configuration expected;
    expected.Is3dEnabled = false;
    EXPECT_EQ(*Base::CurrentConfiguration(), expected);
    EXPECT_EQ(ReadSettings(), R"({"Is3dEnabled":false})");
    EXPECT_EQ(Messages(), (std::vector<std::string>{LoadingLine, LoadedLine}));
}

TEST_F(SettingsFile, DefaultOriginListInItsOwnLayoutIsNotRewritten) {
    const std::string text = "{\n  \"OriginExceptions\": [\n    \"^http://127\\\\.0\\\\.0\\\\.1:38089$\",\n"
                             "    \"^(?:(?!http).)*$\"\n  ],\n  \"UpdateBranch\": \"testing\"\n}\n";
    WriteSettings(text);
    const auto writtenAt = fs::last_write_time(SettingsPath());
    Base::LoadConfiguration();
    EXPECT_EQ(Base::CurrentConfiguration()->UpdateBranch, UpdateBranch::Testing);
    EXPECT_EQ(Base::CurrentConfiguration()->OriginExceptions, Configuration::DefaultOriginExceptions());
    EXPECT_EQ(ReadSettings(), text);
    EXPECT_EQ(fs::last_write_time(SettingsPath()), writtenAt);
}

TEST_F(SettingsFile, GuardedKeysAreCorrectedAndRewrittenWithoutExpertMode) {
    WriteSettings(R"({"loglevel":"DEBUG","UpdateBranch":2,"OriginExceptions":[".*"],"InstanceTimeout":12})");
    Base::LoadConfiguration();

    Configuration expected;
    expected.InstanceTimeout = 12;
    EXPECT_EQ(*Base::CurrentConfiguration(), expected);
    EXPECT_EQ(ReadSettings(), Tralvonic::Model::SerializeJson(expected));
    EXPECT_EQ(Messages(), (std::vector<std::string>{LoadingLine, LoadedLine}));
}

TEST_F(SettingsFile, ExpertModeKeepsDebugAndTheFile) {
    const std::string text = R"({"ExpertMode":true,"LogLevel":"Debug","UpdateBranch":"Preview"})";
    WriteSettings(text);
    Base::LoadConfiguration();
    EXPECT_EQ(Base::CurrentConfiguration()->LogLevel, LogLevel::Debug);
    EXPECT_EQ(Base::CurrentLogLevel(), LogLevel::Debug);
    EXPECT_EQ(Base::CurrentConfiguration()->UpdateBranch, UpdateBranch::Preview);
    EXPECT_EQ(ReadSettings(), text);
}

TEST_F(SettingsFile, ByteOrderMarkIsAccepted) {
    WriteSettings("\xEF\xBB\xBF{\"InstanceTimeout\":8}");
    Base::LoadConfiguration();
    EXPECT_EQ(Base::CurrentConfiguration()->InstanceTimeout, 8);
    EXPECT_EQ(Messages(), (std::vector<std::string>{LoadingLine, LoadedLine}));
}

TEST_F(SettingsFile, SaveWritesTheCurrentConfigurationAndLoadReadsItBack) {
    Configuration custom;
    custom.ExpertMode = true;
    custom.LogLevel = LogLevel::Warning;
    custom.OriginExceptions = {"^a$"};
    Base::SetConfiguration(custom);
    Base::SaveConfiguration();
    EXPECT_EQ(ReadSettings(), Tralvonic::Model::SerializeJson(custom));

    Base::SetConfiguration(Configuration{});
    Base::LoadConfiguration();
    EXPECT_EQ(*Base::CurrentConfiguration(), custom);
    // Only the settings file is left in the folder: no temporary files.
    EXPECT_EQ(std::distance(fs::directory_iterator(_root / "Tralvonic"), fs::directory_iterator()), 1);
}

TEST_F(SettingsFile, ResetReplacesAndSavesTheDefaults) {
    Configuration custom;
    custom.Is3dEnabled = false;
    Base::SetConfiguration(custom);
    WriteSettings("{\"Is3dEnabled\":false}");
    Base::ResetConfiguration();
    EXPECT_EQ(*Base::CurrentConfiguration(), Configuration{});
    EXPECT_EQ(ReadSettings(), Tralvonic::Model::SerializeJson(Configuration{}));
}

TEST_F(SettingsFile, SaveIntoMissingFolderIsLoggedAndCreatesNothing) {
    fs::remove_all(_root / "Tralvonic");
    Base::SaveConfiguration();
    EXPECT_FALSE(fs::exists(_root / "Tralvonic"));
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Severity, HostSeverityError);
    EXPECT_EQ(lines[0].LogId, BaseChannel);
    EXPECT_TRUE(lines[0].Message.starts_with("Error while saving configuration:\r\n")) << lines[0].Message;
    EXPECT_NE(lines[0].Message.find("No such file or directory"), std::string::npos) << lines[0].Message;
}

// A write that fails halfway (here: the file-size limit, as a full disk would) must leave the
// old file whole.
TEST_F(SettingsFile, FailedWriteKeepsTheOldFileWhole) {
    const std::string old = R"({"InstanceTimeout":7})";
    WriteSettings(old);
    Configuration custom;
    custom.InstanceTimeout = 8;
    Base::SetConfiguration(custom);

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tiny = saved;
    tiny.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    Base::SaveConfiguration();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(ReadSettings(), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(_root / "Tralvonic"), fs::directory_iterator()), 1);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(lines[0].Message.starts_with("Error while saving configuration:\r\n")) << lines[0].Message;
    EXPECT_EQ(Base::CurrentConfiguration()->InstanceTimeout, 8);
}

// Readers on other threads see whole snapshots while the configuration is replaced.
TEST(CurrentConfiguration, SnapshotsAreNeverTorn) {
    auto consistent = [](int number) {
        Configuration configuration;
        configuration.InstanceTimeout = number;
        configuration.WebSocketAddress = "127.0.0.1:" + std::to_string(number);
        return configuration;
    };
    Base::SetConfiguration(consistent(0));
    std::atomic<bool> stop{false};
    std::atomic<int> torn{0};
    std::vector<std::thread> readers;
    for (int i = 0; i < 2; ++i) {
        readers.emplace_back([&] {
            while (!stop.load()) {
                const auto snapshot = Base::CurrentConfiguration();
                if (snapshot->WebSocketAddress != "127.0.0.1:" + std::to_string(snapshot->InstanceTimeout)) {
                    ++torn;
                }
            }
        });
    }
    for (int i = 1; i < 2000; ++i)
        Base::SetConfiguration(consistent(i));
    stop = true;
    for (auto& reader : readers)
        reader.join();
    EXPECT_EQ(torn.load(), 0);
    Base::SetConfiguration(Configuration{});
}

} // namespace
