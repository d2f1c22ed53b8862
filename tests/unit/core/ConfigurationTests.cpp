// The settings record: its guard against settings that can break the plugin, and its form
// in the settings file.

#include "core/ConfigurationJson.h"

#include <gtest/gtest.h>

namespace {

using Tralvonic::Configuration;
using Tralvonic::LogLevel;
using Tralvonic::MicClickMode;
using Tralvonic::StereoMode;
using Tralvonic::UpdateBranch;
using Tralvonic::Model::JsonError;
using Tralvonic::Model::ParseJson;
using Tralvonic::Model::SerializeJson;

constexpr const char* DefaultFileText =
    R"({"WebSocketAddress":"127.0.0.1:38088","UpdateBranch":"Stable",)"
    R"("OriginExceptions":["^http://127\\.0\\.0\\.1:38089$","^(?:(?!http).)*$"],)"
    R"("InstanceTimeout":6,"Is3dEnabled":true,"ExpertMode":false,"LogLevel":"Info",)"
    R"("PhoneOffset":"RightOnly","RadioOffset":"LeftOnly","SecondaryRadioOffset":"RightOnly",)"
    R"("MicClickMode":"ScriptDependent"})";

TEST(Configuration, DefaultsWrittenCompactInFileOrderWithEnumerationNames) {
    EXPECT_EQ(SerializeJson(Configuration{}), DefaultFileText);
    EXPECT_EQ(ParseJson<Configuration>(DefaultFileText), Configuration{});
}

TEST(Configuration, DefaultOriginPatterns) {
    EXPECT_EQ(Configuration::DefaultOriginExceptions(),
              (std::vector<std::string>{"^http://127\\.0\\.0\\.1:38089$", "^(?:(?!http).)*$"}));
}

TEST(Configuration, KeysAndEnumerationsInAnyCaseOrAsNumbers) {
    auto configuration = ParseJson<Configuration>(
        R"({"loglevel":"extensivedebug","PHONEOFFSET":0,"micClickMode":"ALWAYS","updatebranch":1,"is3denabled":false})");
    EXPECT_EQ(configuration.LogLevel, LogLevel::ExtensiveDebug);
    EXPECT_EQ(configuration.PhoneOffset, StereoMode::Stereo);
    EXPECT_EQ(configuration.MicClickMode, MicClickMode::Always);
    EXPECT_EQ(configuration.UpdateBranch, UpdateBranch::Testing);
    EXPECT_FALSE(configuration.Is3dEnabled);
    EXPECT_EQ(configuration.RadioOffset, StereoMode::LeftOnly);
    EXPECT_THROW(ParseJson<Configuration>(R"({"LogLevel":"Verbose"})"), JsonError);
}

TEST(Configuration, DefaultsPassTheGuardUntouched) {
    Configuration configuration;
    EXPECT_TRUE(configuration.ValidateExpertMode());
    EXPECT_EQ(configuration, Configuration{});
}

TEST(Configuration, GuardResetsEachGuardedKeyWithoutExpertMode) {
    Configuration configuration;
    configuration.UpdateBranch = UpdateBranch::Preview;
    configuration.LogLevel = LogLevel::Debug;
    configuration.WebSocketAddress = "0.0.0.0:1";
    configuration.OriginExceptions = {".*"};
    configuration.InstanceTimeout = 30;
    configuration.PhoneOffset = StereoMode::Stereo;
    EXPECT_FALSE(configuration.ValidateExpertMode());
    EXPECT_EQ(configuration.UpdateBranch, UpdateBranch::Stable);
    EXPECT_EQ(configuration.LogLevel, LogLevel::Info);
    EXPECT_EQ(configuration.WebSocketAddress, "127.0.0.1:38088");
    EXPECT_EQ(configuration.OriginExceptions, Configuration::DefaultOriginExceptions());
    // Keys outside the guard are the user's to choose.
    EXPECT_EQ(configuration.InstanceTimeout, 30);
    EXPECT_EQ(configuration.PhoneOffset, StereoMode::Stereo);
}

TEST(Configuration, GuardChecksKeysOneByOne) {
    auto guarded = [](auto change) {
        Configuration configuration;
        change(configuration);
        return configuration.ValidateExpertMode();
    };
    EXPECT_TRUE(guarded([](Configuration& c) { c.UpdateBranch = UpdateBranch::Testing; }));
    EXPECT_FALSE(guarded([](Configuration& c) { c.UpdateBranch = UpdateBranch::Preview; }));
    EXPECT_FALSE(guarded([](Configuration& c) { c.LogLevel = LogLevel::Error; }));
    EXPECT_FALSE(guarded([](Configuration& c) { c.WebSocketAddress = "127.0.0.1:38088 "; }));
    EXPECT_FALSE(guarded([](Configuration& c) { c.OriginExceptions.pop_back(); }));
    EXPECT_FALSE(guarded([](Configuration& c) { std::swap(c.OriginExceptions[0], c.OriginExceptions[1]); }));
    EXPECT_FALSE(guarded([](Configuration& c) { c.OriginExceptions.push_back("^x$"); }));
    EXPECT_TRUE(guarded([](Configuration& c) { c.Is3dEnabled = false; }));
}

TEST(Configuration, ExpertModeKeepsEverything) {
    Configuration configuration;
    configuration.ExpertMode = true;
    configuration.UpdateBranch = UpdateBranch::Preview;
    configuration.LogLevel = LogLevel::Debug;
    configuration.OriginExceptions = {};
    const Configuration before = configuration;
    EXPECT_TRUE(configuration.ValidateExpertMode());
    EXPECT_EQ(configuration, before);
}

TEST(Configuration, NullTextOrListCountsAsChangedAndIsReset) {
    auto configuration = ParseJson<Configuration>(R"({"WebSocketAddress":null,"OriginExceptions":null})");
    EXPECT_EQ(configuration.WebSocketAddress, "");
    EXPECT_TRUE(configuration.OriginExceptions.empty());
    EXPECT_FALSE(configuration.ValidateExpertMode());
    EXPECT_EQ(configuration, Configuration{});
}

} // namespace
