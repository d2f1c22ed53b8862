// The parts of the built-in game session that decide something: where it connects (the
// plugin's settings as the plugin reads them), what it makes of the plugin's reports, its
// answers to pings, its waits, and the game view it publishes.

#include "demo/GameLinkSettings.h"
#include "demo/Inbox.h"
#include "demo/PingAnswer.h"
#include "demo/PluginReports.h"
#include "demo/SceneState.h"
#include "demo/SceneView.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace Tralvonic::Sim::Host::Demo;
using namespace std::chrono_literals;

class DemoSettingsFile : public testing::Test {
protected:
    ~DemoSettingsFile() override { std::filesystem::remove(path); }
    GameLinkSettings With(const std::string& text) {
        std::ofstream(path) << text;
        return ReadGameLinkSettings(path);
    }
    std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("demo-settings-" + std::to_string(getpid()) + ".json");
};

TEST_F(DemoSettingsFile, TheAddressCountsOnlyInExpertModeAsThePluginHoldsIt) {
    const auto missing = ReadGameLinkSettings(path);
    EXPECT_EQ(missing.Host, "127.0.0.1");
    EXPECT_EQ(missing.Port, 38088);
    EXPECT_EQ(missing.InstanceTimeoutSeconds, 6);

    const auto withoutExpertMode = With(R"({"WebSocketAddress":"127.0.0.1:40000","InstanceTimeout":3})");
    EXPECT_EQ(withoutExpertMode.Port, 38088);
    EXPECT_EQ(withoutExpertMode.InstanceTimeoutSeconds, 3);

    // Keys match ignoring letter case, as the plugin reads them.
    const auto expert = With(R"({"websocketaddress":"127.0.0.1:40000","EXPERTMODE":true})");
    EXPECT_EQ(expert.Port, 40000);
    EXPECT_EQ(expert.Address, "127.0.0.1:40000");

    const auto broken = With("{not json");
    EXPECT_EQ(broken.Port, 38088);
}

TEST_F(DemoSettingsFile, EveryAddressFormOfThePluginIsReachedOnLoopbackWhenItListensEverywhere) {
    EXPECT_EQ(With(R"({"WebSocketAddress":"[::1]:40001","ExpertMode":true})").Host, "::1");
    const auto anyV4 = With(R"({"WebSocketAddress":"0.0.0.0:40002","ExpertMode":true})");
    EXPECT_EQ(anyV4.Host, "127.0.0.1");
    EXPECT_EQ(anyV4.Port, 40002);
    EXPECT_EQ(With(R"({"WebSocketAddress":"[::]:40003","ExpertMode":true})").Host, "::1");
    for (const std::string address :
         {"localhost", "127.0.0.1:", "127.0.0.1:70000", "::1:40000", "[::1:40000"}) {
        EXPECT_THROW(With(R"({"WebSocketAddress":")" + address + R"(","ExpertMode":true})"),
                     std::invalid_argument)
            << address;
    }
}

TEST(PluginReports, EachReportTheSceneWaitsForIsReadAndTold) {
    const auto talk = ReadReport(
        R"({"Command":11,"ServerUniqueIdentifier":"s","Parameter":{"Name":"Bob","IsTalking":true}})");
    ASSERT_TRUE(talk);
    EXPECT_EQ(talk->Command, 11);
    EXPECT_EQ(talk->Name, "Bob");
    EXPECT_TRUE(talk->IsOn);
    EXPECT_EQ(talk->Description, "TalkState: Bob is talking");

    const auto traffic =
        ReadReport(R"({"Command":33,"ServerUniqueIdentifier":"s","Parameter":{"Name":"Carl",)"
                   R"("IsSending":false,"IsPrimaryChannel":false,"ActiveRelay":"Alice"}})");
    ASSERT_TRUE(traffic);
    EXPECT_FALSE(traffic->IsOn);
    EXPECT_EQ(traffic->Description,
              "RadioTrafficState: Carl stopped sending on the secondary channel, heard through Alice");

    const auto instance = ReadReport(R"({"Command":5,"ServerUniqueIdentifier":"s","Parameter":)"
                                     R"({"IsConnectedToServer":true,"IsReady":false,"State":3}})");
    ASSERT_TRUE(instance);
    EXPECT_EQ(instance->State, 3);
    EXPECT_EQ(instance->Description, "InstanceState: InSwissChannel (connected, not ready)");

    const auto sound =
        ReadReport(R"({"Command":6,"ServerUniqueIdentifier":"s","Parameter":{"IsMicrophoneMuted":true,)"
                   R"("IsMicrophoneEnabled":false,"IsSoundMuted":false,"IsSoundEnabled":true}})");
    ASSERT_TRUE(sound);
    EXPECT_EQ(sound->Description, "SoundState: microphone muted, disabled; speakers not muted, enabled");

    const auto error =
        ReadReport(R"({"Error":6,"Message":"PlayerState.VolumeOverride has to be >= 0f and <= 1.6f",)"
                   R"("ServerIdentifier":"s"})");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Command, PluginReport::BareError);
    EXPECT_EQ(error->Description, "PluginError 6: PlayerState.VolumeOverride has to be >= 0f and <= 1.6f");

    EXPECT_EQ(ReadReport(R"({"Command":2,"ServerUniqueIdentifier":"s","Parameter":null})")->Command, 2);
    EXPECT_FALSE(ReadReport("not json"));
    EXPECT_FALSE(ReadReport("[1,2]"));
}

TEST(PingAnswer, AnswersEveryPingUntilItFallsSilent) {
    std::vector<std::string> sent;
    PingAnswer pings([&](std::string pong) { sent.push_back(std::move(pong)); }, "PONG");
    const auto ping = *ReadReport(R"({"Command":3,"ServerUniqueIdentifier":"s","Parameter":null})");
    const auto talk =
        *ReadReport(R"({"Command":11,"ServerUniqueIdentifier":"s","Parameter":{"Name":"Bob"}})");
    EXPECT_TRUE(pings.Handle(ping));
    EXPECT_FALSE(pings.Handle(talk));
    EXPECT_TRUE(pings.Handle(ping));
    pings.FallSilent();
    EXPECT_TRUE(pings.Handle(ping));
    EXPECT_EQ(sent, (std::vector<std::string>{"PONG", "PONG"}));
    EXPECT_EQ(pings.Answered(), 2);
}

PluginReport Talk(const std::string& name) {
    PluginReport report;
    report.Command = 11;
    report.Name = name;
    return report;
}

TEST(Inbox, AWaitSeesOnlyReportsFromItsMarkOnAndEndsAtAStop) {
    Inbox inbox;
    inbox.Add(Talk("Bob"));
    const auto mark = inbox.Mark();
    const auto isBob = [](const PluginReport& report) {
        return report.Name == "Bob";
    };
    EXPECT_FALSE(inbox.WaitFor(mark, isBob, 10ms));

    std::thread reporter([&] { inbox.Add(Talk("Bob")); });
    EXPECT_TRUE(inbox.WaitFor(mark, isBob, 5s));
    reporter.join();

    // More reports than the inbox holds: the wait still finds the latest.
    const auto later = inbox.Mark();
    for (std::size_t i = 0; i < Inbox::Capacity + 10; ++i) {
        inbox.Add(Talk(i + 1 == Inbox::Capacity + 10 ? "Carl" : "Bob"));
    }
    EXPECT_TRUE(inbox.WaitFor(
        later, [](const PluginReport& report) { return report.Name == "Carl"; }, 10ms));

    std::thread stopper([&] { inbox.Stop(); });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(inbox.WaitFor(inbox.Mark(), isBob, 60s));
    EXPECT_FALSE(inbox.Pause(60s));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 30s);
    stopper.join();
    EXPECT_TRUE(inbox.IsStopped());
}

TEST(SceneView, PublishesTheSceneInTheGameViewShape) {
    SceneState scene;
    scene.SelfName = "Hero";
    scene.Self = {{1, 2, 3}, 90, 8, true};
    scene.Players = {{"Bob", {3, 4, 0}, 10, false}};
    scene.Radios = {{"101.1", true, {"Hero", "Bob"}}};
    scene.Transmissions = {{"Bob", "101.1"}};
    scene.Phones = {{"Hero", "Carl"}};
    scene.Megaphones = {{"Carl", 80}};
    scene.Sounds = {"alarm"};
    scene.Step = "a phone call";
    EXPECT_EQ(
        SceneViewJson(scene),
        R"({"Source":"demo","Self":{"Name":"Hero","X":1,"Y":2,"Z":3,"VoiceRange":8},)"
        R"("Players":[{"Name":"Bob","X":3,"Y":4,"Z":0,"VoiceRange":10,"IsAlive":false}],)"
        R"("Radios":[{"Frequency":"101.1","Members":["Hero","Bob"]}],)"
        R"("Transmissions":[{"Name":"Bob","Frequency":"101.1"}],"Phones":[{"Caller":"Hero","Partner":"Carl"}],)"
        R"("Megaphones":[{"Name":"Carl","Range":80}],"Sounds":["alarm"],"Step":"a phone call"})");
    EXPECT_EQ(scene.FindPlayer("Bob"), &scene.Players[0]);
    EXPECT_EQ(scene.FindPlayer("Dan"), nullptr);
}

} // namespace
