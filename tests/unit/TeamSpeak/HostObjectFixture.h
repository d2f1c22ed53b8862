#pragma once
// A simulated host with one connected tab: channels Lobby and Ingame (password "secret"),
// the user "Me" and "Bob" in Lobby. Every test ends by proving that each block the host
// handed out came back through freeMemory exactly once.

#include "SimulatedClient.h"

#include "TeamSpeak/Base.h"
#include "TeamSpeak/Channel.h"
#include "TeamSpeak/Client.h"
#include "TeamSpeak/Server.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace TeamSpeak {

class HostObjects : public testing::Test {
protected:
    HostObjects()
        : tab(sim.AddServer("uid-alpha", "Alpha")), lobby(tab.AddChannel("Lobby")),
          ingame(tab.AddChannel("Ingame", 0, "secret")), me(tab.AddOwnClient("Me", lobby)),
          bob(tab.AddClient("Bob", lobby)), server(tab.Handler()) {
        Base::SetFunctions(sim.Functions());
    }

    void TearDown() override {
        const auto& memory = sim.Memory();
        EXPECT_EQ(memory.OutstandingBlocks(), 0u);
        EXPECT_EQ(memory.BlocksFreed(), memory.BlocksHandedOut());
        EXPECT_EQ(memory.DoubleFrees(), 0u);
        EXPECT_EQ(memory.UnknownFrees(), 0u);
    }

    Client Me() const { return Client(server, me); }
    Client Bob() const { return Client(server, bob); }

    // The call checker's lines, in order.
    std::vector<std::string> CheckLines() const {
        std::vector<std::string> lines;
        for (const auto& entry : sim.LogEntries()) {
            if (entry.Channel == "Plugin Wrapper") {
                lines.push_back(entry.Message);
            }
        }
        return lines;
    }

    // Calls of `function` after this point only.
    void ForgetCalls() { sim.Record().Clear(); }
    std::size_t Count(std::string_view function) const { return sim.CallCount(function); }

    Tralvonic::Sim::SimulatedClient sim;
    Tralvonic::Sim::SimServer& tab;
    uint64 lobby;
    uint64 ingame;
    anyID me;
    anyID bob;
    Server server;
};

} // namespace TeamSpeak
