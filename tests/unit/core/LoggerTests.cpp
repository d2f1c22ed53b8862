// The plugin's log as the host sees it: filtered by the configured level, every line on the
// channel "Tralvonic" with its LogChannel number as log id.

#include "core/Base.h"
#include "core/Logger.h"

#include "SimulatedClient.h"
#include "TeamSpeak/Base.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Tralvonic::Base;
using Tralvonic::Configuration;
using Tralvonic::LogChannel;
using Tralvonic::Logger;
using Tralvonic::LogLevel;
using Tralvonic::Sim::LogEntry;

constexpr int HostError = 1;
constexpr int HostWarning = 2;
constexpr int HostDebug = 3;
constexpr int HostInfo = 4;

class PluginLog : public ::testing::Test {
protected:
    PluginLog() { TeamSpeak::Base::SetFunctions(_sim.Functions()); }
    ~PluginLog() override { Base::SetConfiguration(Configuration{}); }

    static void SetLevel(LogLevel level) {
        Configuration configuration;
        configuration.LogLevel = level;
        Base::SetConfiguration(configuration);
    }

    // One line through each operation, then the messages the host received.
    std::vector<std::string> LogOneOfEach() {
        _sim.ClearLog();
        Logger::LogError("error", LogChannel::Base);
        Logger::LogWarning("warning", LogChannel::Base);
        Logger::LogInfo("info", LogChannel::Base);
        Logger::LogDebug("debug", LogChannel::Base);
        Logger::LogExtensive("extensive", LogChannel::Base);
        Logger::LogExtensiveDebug("extensive debug", LogChannel::Base);
        std::vector<std::string> messages;
        for (const auto& entry : _sim.LogEntries())
            messages.push_back(entry.Message);
        return messages;
    }

    Tralvonic::Sim::SimulatedClient _sim;
};

TEST_F(PluginLog, EachLevelLetsThroughItsOperationsAndTheMoreSevereOnes) {
    using Lines = std::vector<std::string>;
    SetLevel(LogLevel::Error);
    EXPECT_EQ(LogOneOfEach(), (Lines{"error"}));
    SetLevel(LogLevel::Warning);
    EXPECT_EQ(LogOneOfEach(), (Lines{"error", "warning"}));
    SetLevel(LogLevel::Info);
    EXPECT_EQ(LogOneOfEach(), (Lines{"error", "warning", "info"}));
    SetLevel(LogLevel::Debug);
    EXPECT_EQ(LogOneOfEach(), (Lines{"error", "warning", "info", "debug"}));
    SetLevel(LogLevel::Extensive);
    EXPECT_EQ(LogOneOfEach(), (Lines{"error", "warning", "info", "debug", "extensive"}));
    SetLevel(LogLevel::ExtensiveDebug);
    EXPECT_EQ(LogOneOfEach(), (Lines{"error", "warning", "info", "debug", "extensive", "extensive debug"}));
}

TEST_F(PluginLog, HostSeverityChannelTextAndLogId) {
    SetLevel(LogLevel::ExtensiveDebug);
    Logger::LogError("e", LogChannel::Wrapper);
    Logger::LogWarning("w", LogChannel::WebSocketForbiddenOrigin);
    Logger::LogInfo("i", LogChannel::GameInstance);
    Logger::LogDebug("d", LogChannel::PlayerUpdate);
    Logger::LogExtensive("x", LogChannel::AudioPlayer);
    Logger::LogExtensiveDebug("y", LogChannel::WebSocketSendMessage);

    const auto entries = _sim.LogEntries();
    ASSERT_EQ(entries.size(), 6u);
    const std::vector<std::pair<int, std::uint64_t>> expected = {
        {HostError, 1}, {HostWarning, 8}, {HostInfo, 9}, {HostDebug, 10}, {HostDebug, 11}, {HostDebug, 12}};
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].Severity, expected[i].first) << entries[i].Message;
        EXPECT_EQ(entries[i].LogId, expected[i].second) << entries[i].Message;
        EXPECT_EQ(entries[i].Channel, "Tralvonic");
    }
}

TEST_F(PluginLog, MessageGoesOutUnchanged) {
    SetLevel(LogLevel::Info);
    // Braces are no format and UTF-8 stays UTF-8; control characters are the next test's.
    const std::string message = "Tür {0} zu | 100% {1}";
    Logger::LogInfo(message, LogChannel::Base);
    ASSERT_EQ(_sim.LogEntries().size(), 1u);
    EXPECT_EQ(_sim.LogEntries()[0].Message, message);
}

TEST_F(PluginLog, LevelIsReadAnewAtEveryCall) {
    SetLevel(LogLevel::Error);
    Logger::LogInfo("hidden", LogChannel::Base);
    SetLevel(LogLevel::Info);
    Logger::LogInfo("shown", LogChannel::Base);
    SetLevel(LogLevel::Warning);
    Logger::LogInfo("hidden again", LogChannel::Base);
    const auto entries = _sim.LogEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Message, "shown");
}

TEST_F(PluginLog, DefaultConfigurationLogsAtInfo) {
    Base::SetConfiguration(Configuration{});
    EXPECT_EQ(LogOneOfEach(), (std::vector<std::string>{"error", "warning", "info"}));
}

} // namespace

namespace {

TEST_F(PluginLog, ControlCharactersFromTheGameCannotBreakALine) {
    SetLevel(LogLevel::Info);
    _sim.ClearLog();
    // A game's name that tries to forge a line of its own, and C1, DEL and NUL on the way.
    Logger::LogInfo("Renamed to \"Hero\r\n2026-01-01 00:00:00|ERROR|Tralvonic|1|forged\"", LogChannel::Base);
    Logger::LogInfo(std::string("tab\tdel\x7F"
                                "c1\xC2\x85nul") +
                        '\0' + "end \xC3\xA9",
                    LogChannel::Base);
    Logger::LogError({"Message: {\"Name\":\"a\nb\"}", "Exception: bad\rvalue"}, LogChannel::Base);

    std::vector<std::string> messages;
    for (const auto& entry : _sim.LogEntries())
        messages.push_back(entry.Message);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "Renamed to \"Hero\\r\\n2026-01-01 00:00:00|ERROR|Tralvonic|1|forged\"",
                            "tab\\tdel\\x7Fc1\\u0085nul\\x00end \xC3\xA9",
                            "Message: {\"Name\":\"a\\nb\"}\r\nException: bad\\rvalue",
                        }));
}

} // namespace
