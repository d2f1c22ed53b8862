#pragma once
// The plugin's own game link as the game sees it: Base::StartUp creates the WebSocket server
// (on an ephemeral loopback port) with the message dispatch wired in, Node.js game clients
// connect to it, and the fixture stops the plugin (server, delayed removals, registry) at
// the end. Log lines go to the simulated client's host log at level Extensive.

#include "unit/link/LinkFixture.h"

#include "Model/GameInstanceSettings.h"
#include "core/Base.h"
#include "instance/GameInstance.h"
#include "support/FakePlatform.h"

#include <memory>
#include <optional>
#include <string>

namespace Tralvonic::Test {

class PluginLinkTest : public LinkTest {
protected:
    PluginLinkTest() { Configure(UpdateBranch::Stable); }
    ~PluginLinkTest() override { Base::OnPluginStop(); }

    // Read by the dispatch for every message, so it may change while the link runs.
    static void Configure(UpdateBranch branch) {
        Configuration configuration;
        configuration.WebSocketAddress = "127.0.0.1:0";
        configuration.LogLevel = LogLevel::Extensive;
        configuration.UpdateBranch = branch;
        Base::SetConfiguration(configuration);
    }

    void StartPluginLink() {
        ASSERT_TRUE(Base::StartUp());
        _server = Base::WebSocket();
        ASSERT_NE(_server, nullptr);
    }

    // A game client that the server has listed, so broadcasts reach it.
    GameClient ConnectGame() {
        auto client = Spawn(*_server);
        EXPECT_TRUE(WaitForOpenConnections(*_server, ++_connected));
        return client;
    }

    // The text of the client's next message, skipping its other events.
    static std::optional<std::string> NextMessage(GameClient& client) {
        auto line = client.WaitForPrefix("message ");
        if (!line)
            return std::nullopt;
        return line->substr(std::string_view("message ").size());
    }

    static std::shared_ptr<GameInstance> MakeInstance(const std::string& serverUniqueIdentifier) {
        Model::GameInstanceSettings settings;
        settings.ServerUniqueIdentifier = serverUniqueIdentifier;
        settings.Name = "Player";
        return std::make_shared<GameInstance>(settings);
    }

    static std::string PluginStateMessage(const std::string& serverUniqueIdentifier, int activeInstances) {
        return R"({"Command":0,"ServerUniqueIdentifier":")" + serverUniqueIdentifier +
               R"(","Parameter":{"Version":"3.1.2","ActiveInstances":)" + std::to_string(activeInstances) +
               "}}";
    }

    // Every line on WebSocketOnMessage that mentions `text`.
    std::vector<std::string> MessageLinesAbout(const std::string& text) const {
        std::vector<std::string> lines;
        for (const auto& entry : LogsOn(LogChannel::WebSocketOnMessage)) {
            if (entry.Message.find(text) != std::string::npos)
                lines.push_back(entry.Message);
        }
        return lines;
    }

    // Whatever the start asks of the system stays inside the test.
    Testing::FakePlatform System;
    Testing::ScopedPlatform InstalledSystem{System};

private:
    std::shared_ptr<WebSocket> _server;
    std::int32_t _connected = 0;
};

} // namespace Tralvonic::Test
