#pragma once
// A game instance that is in game on a simulated server: the user "Player" already sits in
// the channel "Ingame" under the in-game name, so Initiate reaches Ingame at once. Other
// players join that channel as plain clients; tests drive the instance's operations and
// read what the host saw (whisper lists, 3D positions, the call record, the log).

#include "SimulatedClient.h"

#include "Model/GameInstanceSettings.h"
#include "Model/PlayerState.h"
#include "Model/SelfState.h"
#include "TeamSpeak/Base.h"
#include "core/Base.h"
#include "instance/GameInstance.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Tralvonic::Test {

class IngameTest : public ::testing::Test {
protected:
    using anyID = TeamSpeak::anyID;
    using uint64 = TeamSpeak::uint64;

    IngameTest()
        : tab(sim.AddServer("uid-alpha", "Alpha")), lobby(tab.AddChannel("Lobby")),
          ingame(tab.AddChannel("Ingame")), me(tab.AddOwnClient("Player", ingame)) {
        TeamSpeak::Base::SetFunctions(sim.Functions());
        Configure(true);
    }

    ~IngameTest() override {
        if (instance) {
            instance->Reset(false, false);
            instance->JoinThreads();
        }
        Base::StopGameInstances();
        Base::SetConfiguration(Configuration{});
    }

    // Read on every recalculation. The long time-out keeps the keepalive out of the test.
    static void Configure(bool is3dEnabled) {
        Configuration configuration;
        configuration.LogLevel = LogLevel::Extensive;
        configuration.InstanceTimeout = 600;
        configuration.Is3dEnabled = is3dEnabled;
        Base::SetConfiguration(configuration);
    }

    // Initiates the instance for `serverUniqueIdentifier` and forgets the calls made so far.
    void Start(std::string serverUniqueIdentifier = "uid-alpha",
               std::vector<std::uint64_t> swissChannelIds = {}) {
        Model::GameInstanceSettings settings;
        settings.ServerUniqueIdentifier = std::move(serverUniqueIdentifier);
        settings.ChannelId = ingame;
        settings.Name = "Player";
        settings.SwissChannelIds = std::move(swissChannelIds);
        settings.SendRadioTrafficStates = sendRadioTrafficStates;
        instance = std::make_shared<GameInstance>(settings);
        ASSERT_EQ(instance->Initiate(), Model::Error::OK);
        sim.Record().Clear();
    }

    void StartIngame() {
        Start();
        ASSERT_EQ(instance->InstanceState(), Model::GameInstanceState::Ingame);
    }

    anyID Join(const std::string& nickname) { return tab.AddClient(nickname, ingame); }

    static Model::PlayerState Player(std::string name, TeamSpeak::TSVector position, float voiceRange) {
        Model::PlayerState player;
        player.Name = std::move(name);
        player.Position = position;
        player.VoiceRange = voiceRange;
        return player;
    }

    static Model::SelfState Self(TeamSpeak::TSVector position, float voiceRange, float rotation = 0.0f) {
        Model::SelfState self;
        self.Position = position;
        self.VoiceRange = voiceRange;
        self.Rotation = rotation;
        return self;
    }

    std::shared_ptr<PlayerState> Stored(const std::string& name) const {
        std::shared_ptr<PlayerState> player;
        EXPECT_TRUE(instance->TryGetPlayerState(name, player)) << name;
        return player;
    }

    // The client list the host last received for the user; absent when none was sent.
    std::optional<std::vector<anyID>> WhisperClients() const {
        const auto whispers = tab.Whispers();
        return whispers ? whispers->Clients : std::nullopt;
    }

    std::size_t WhisperRequests() const { return sim.CallCount("requestClientSetWhisperList"); }

    bool HasLogLine(const std::string& text) const {
        for (const auto& entry : sim.LogEntries()) {
            if (entry.Message == text) {
                return true;
            }
        }
        return false;
    }

    static void ExpectVector(const std::optional<TeamSpeak::TS3_VECTOR>& actual,
                             TeamSpeak::TSVector expected) {
        ASSERT_TRUE(actual.has_value());
        EXPECT_NEAR(actual->x, expected.X, 1e-4f);
        EXPECT_NEAR(actual->y, expected.Y, 1e-4f);
        EXPECT_NEAR(actual->z, expected.Z, 1e-4f);
    }

    static void ExpectVector(const TeamSpeak::TSVector& actual, TeamSpeak::TSVector expected) {
        ExpectVector(std::optional<TeamSpeak::TS3_VECTOR>(*actual.HostVector()), expected);
    }

    Sim::SimulatedClient sim;
    Sim::SimServer& tab;
    uint64 lobby;
    uint64 ingame;
    anyID me;
    std::shared_ptr<GameInstance> instance;
    // Read by Start.
    bool sendRadioTrafficStates = false;
};

} // namespace Tralvonic::Test
