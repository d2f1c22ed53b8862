// The simulated client driving a plugin linked into the test: the start and stop sequence,
// asynchronous answers to requests, events after flushes and server happenings, and audio
// blocks, each on the client's own threads.

#include "PluginDriver.h"
#include "SimulatedClient.h"

#include "TeamSpeak/sdk/ErrorCodes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

namespace Tralvonic::Sim {
namespace {

using namespace TeamSpeak;

struct Event {
    std::string Name;
    std::string Arguments;
    std::thread::id Thread;
};

// What the linked-in plugin saw; its exports are plain functions, so they reach it globally.
struct PluginRecord {
    std::mutex Mutex;
    std::vector<Event> Events;
    TS3Functions Functions{};
    int InitResult = 0;
    // The own client's channel as the host reported it while the move event ran.
    uint64 ChannelDuringMove = 0;
};
PluginRecord* record = nullptr;

void Add(std::string name, std::string arguments = "") {
    std::lock_guard lock(record->Mutex);
    record->Events.push_back({std::move(name), std::move(arguments), std::this_thread::get_id()});
}

std::string Text(const char* text) {
    return text != nullptr ? text : "<null>";
}

PluginExports TestPlugin() {
    PluginExports plugin;
    plugin.setFunctionPointers = [](const TS3Functions functions) {
        record->Functions = functions;
        Add("setFunctionPointers");
    };
    plugin.registerPluginID = [](const char* id) {
        Add("registerPluginID", id);
    };
    plugin.init = [] {
        Add("init");
        return record->InitResult;
    };
    plugin.shutdown = [] {
        Add("shutdown");
    };
    plugin.freeMemory = [](void* block) {
        Add("freeMemory");
        std::free(block);
    };
    plugin.initMenus = [](PluginMenuItem*** items, char** icon) {
        auto* menu = static_cast<PluginMenuItem*>(std::calloc(1, sizeof(PluginMenuItem)));
        menu->id = 1;
        std::strcpy(menu->text, "Settings");
        *items = static_cast<PluginMenuItem**>(std::calloc(2, sizeof(PluginMenuItem*)));
        (*items)[0] = menu;
        *icon = nullptr;
    };
    plugin.onConnectStatusChangeEvent = [](uint64 handler, int status, unsigned int) {
        Add("onConnectStatusChangeEvent", std::to_string(handler) + " " + std::to_string(status));
    };
    plugin.onClientMoveEvent = [](uint64 handler, anyID client, uint64 from, uint64 to, int visibility,
                                  const char*) {
        record->Functions.getChannelOfClient(handler, client, &record->ChannelDuringMove);
        Add("onClientMoveEvent", std::to_string(client) + " " + std::to_string(from) + "->" +
                                     std::to_string(to) + " " + std::to_string(visibility));
    };
    plugin.onClientMoveMovedEvent = [](uint64, anyID client, uint64 from, uint64 to, int, anyID mover,
                                       const char* moverName, const char*, const char*) {
        Add("onClientMoveMovedEvent", std::to_string(client) + " " + std::to_string(from) + "->" +
                                          std::to_string(to) + " by " + std::to_string(mover) + " " +
                                          Text(moverName));
    };
    plugin.onServerErrorEvent = [](uint64, const char* message, unsigned int error, const char*,
                                   const char*) {
        Add("onServerErrorEvent", std::to_string(error) + " " + Text(message));
        return 0;
    };
    plugin.onClientSelfVariableUpdateEvent = [](uint64, int flag, const char* oldValue,
                                                const char* newValue) {
        Add("onClientSelfVariableUpdateEvent",
            std::to_string(flag) + " " + Text(oldValue) + "->" + Text(newValue));
    };
    plugin.onUpdateClientEvent = [](uint64, anyID client, anyID, const char*, const char*) {
        Add("onUpdateClientEvent", std::to_string(client));
    };
    plugin.onTalkStatusChangeEvent = [](uint64, int status, int whisper, anyID client) {
        Add("onTalkStatusChangeEvent",
            std::to_string(client) + " " + std::to_string(status) + " " + std::to_string(whisper));
    };
    plugin.onEditPlaybackVoiceDataEvent = [](uint64, anyID, short* samples, int count, int channels) {
        for (int i = 0; i < count * channels; ++i) {
            samples[i] = static_cast<short>(samples[i] / 2);
        }
        Add("onEditPlaybackVoiceDataEvent", std::to_string(count) + "x" + std::to_string(channels));
    };
    plugin.onEditCapturedVoiceDataEvent = [](uint64, short*, int, int, int* edited) {
        Add("onEditCapturedVoiceDataEvent", std::to_string(*edited));
        *edited |= 1;
    };
    plugin.onCustom3dRolloffCalculationClientEvent = [](uint64, anyID, float distance, float* volume) {
        *volume = distance > 10 ? 0.0f : *volume;
        Add("onCustom3dRolloffCalculationClientEvent");
    };
    plugin.onEditMixedPlaybackVoiceDataEvent = [](uint64, short*, int, int, const unsigned int*,
                                                  unsigned int*) {
        Add("onEditMixedPlaybackVoiceDataEvent");
    };
    return plugin;
}

class SimEvents : public testing::Test {
protected:
    SimEvents()
        : server(sim.AddServer("uid-1", "Server")), lobby(server.AddChannel("Lobby")),
          ingame(server.AddChannel("Ingame", 0, "secret")), own(server.AddOwnClient("Me", lobby)),
          bob(server.AddClient("Bob", lobby)) {
        record = &plugin;
    }
    ~SimEvents() override {
        driver.reset();
        record = nullptr;
    }

    void StartPlugin() {
        driver = std::make_unique<PluginDriver>(sim, TestPlugin());
        ASSERT_EQ(driver->Start("plugin-7"), 0);
    }
    std::vector<Event> Events(std::string_view name) {
        std::lock_guard lock(plugin.Mutex);
        std::vector<Event> found;
        for (const auto& event : plugin.Events) {
            if (event.Name == name) {
                found.push_back(event);
            }
        }
        return found;
    }
    bool WaitForEvent(std::string_view name, std::size_t count = 1) {
        return sim.WaitFor([&] { return Events(name).size() >= count; });
    }
    std::vector<std::string> Arguments(std::string_view name) {
        std::vector<std::string> arguments;
        for (const auto& event : Events(name)) {
            arguments.push_back(event.Arguments);
        }
        return arguments;
    }

    PluginRecord plugin;
    SimulatedClient sim;
    SimServer& server;
    uint64 lobby, ingame;
    anyID own, bob;
    std::unique_ptr<PluginDriver> driver;
};

TEST_F(SimEvents, StartsOnTheEventThreadAndShutsDownOnce) {
    StartPlugin();
    std::vector<std::string> order;
    for (const auto& event : plugin.Events) {
        order.push_back(event.Name);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"setFunctionPointers", "registerPluginID", "init",
                                               "freeMemory", "freeMemory"}));
    EXPECT_EQ(Arguments("registerPluginID"), std::vector<std::string>{"plugin-7"});
    EXPECT_NE(Events("init")[0].Thread, std::this_thread::get_id());
    ASSERT_EQ(driver->Menus().size(), 1u);
    EXPECT_EQ(driver->Menus()[0].Text, "Settings");

    driver->Shutdown();
    driver->Shutdown();
    server.Connect();
    ASSERT_TRUE(sim.WaitForEvents());
    EXPECT_EQ(Events("shutdown").size(), 1u);
    EXPECT_TRUE(Events("onConnectStatusChangeEvent").empty());
}

TEST_F(SimEvents, FailedInitIsNeverShutDownAndGetsNoEvents) {
    plugin.InitResult = 1;
    PluginDriver failing(sim, TestPlugin());
    EXPECT_EQ(failing.Start(), 1);
    EXPECT_FALSE(failing.IsRunning());
    server.Connect();
    failing.Shutdown();
    ASSERT_TRUE(sim.WaitForEvents());
    EXPECT_TRUE(Events("shutdown").empty());
    EXPECT_TRUE(Events("onConnectStatusChangeEvent").empty());
}

TEST_F(SimEvents, OwnMoveIsAnsweredLaterOnTheEventThread) {
    StartPlugin();
    ASSERT_EQ(plugin.Functions.requestClientMove(server.Handler(), own, ingame, "secret", nullptr), 0u);
    ASSERT_TRUE(WaitForEvent("onClientMoveEvent"));
    auto move = Events("onClientMoveEvent")[0];
    EXPECT_EQ(move.Arguments, std::to_string(own) + " " + std::to_string(lobby) + "->" +
                                  std::to_string(ingame) + " " + std::to_string(RETAIN_VISIBILITY));
    EXPECT_NE(move.Thread, std::this_thread::get_id());
    EXPECT_EQ(plugin.ChannelDuringMove, ingame);
    EXPECT_EQ(server.ChannelOf(own), ingame);
}

TEST_F(SimEvents, RefusedMovesArriveAsServerErrorsAndChangeNothing) {
    StartPlugin();
    server.RefuseNextMove(Error::ChannelMaxclientsReached);
    EXPECT_EQ(plugin.Functions.requestClientMove(server.Handler(), own, ingame, "secret", nullptr), 0u);
    EXPECT_EQ(plugin.Functions.requestClientMove(server.Handler(), own, ingame, "wrong", nullptr), 0u);
    EXPECT_EQ(plugin.Functions.requestClientMove(server.Handler(), own, lobby, "", nullptr), 0u);
    ASSERT_TRUE(WaitForEvent("onServerErrorEvent", 3));

    EXPECT_EQ(Arguments("onServerErrorEvent"),
              (std::vector<std::string>{"777 max clients reached", "781 invalid channel password",
                                        "770 already member of channel"}));
    EXPECT_TRUE(Events("onClientMoveEvent").empty());
    EXPECT_EQ(server.ChannelOf(own), lobby);
}

TEST_F(SimEvents, MovingAnotherClientNamesTheOwnClientAsMover) {
    StartPlugin();
    ASSERT_EQ(plugin.Functions.requestClientMove(server.Handler(), bob, ingame, "secret", nullptr), 0u);
    ASSERT_TRUE(WaitForEvent("onClientMoveMovedEvent"));
    EXPECT_EQ(Arguments("onClientMoveMovedEvent")[0], std::to_string(bob) + " " + std::to_string(lobby) +
                                                          "->" + std::to_string(ingame) + " by " +
                                                          std::to_string(own) + " Me");
}

TEST_F(SimEvents, OwnVariableEventsFollowTheFlushOnly) {
    StartPlugin();
    ASSERT_EQ(plugin.Functions.setClientSelfVariableAsString(server.Handler(), CLIENT_NICKNAME, "Jörg"), 0u);
    ASSERT_EQ(plugin.Functions.setClientSelfVariableAsInt(server.Handler(), CLIENT_INPUT_MUTED, 0), 0u);
    ASSERT_TRUE(sim.WaitForEvents());
    EXPECT_TRUE(Events("onClientSelfVariableUpdateEvent").empty());

    ASSERT_EQ(plugin.Functions.flushClientSelfUpdates(server.Handler(), nullptr), 0u);
    ASSERT_TRUE(WaitForEvent("onUpdateClientEvent"));
    // The unchanged input-muted value raises nothing.
    EXPECT_EQ(Arguments("onClientSelfVariableUpdateEvent"), std::vector<std::string>{"1 Me->Jörg"});

    ASSERT_EQ(plugin.Functions.setClientSelfVariableAsString(server.Handler(), CLIENT_NICKNAME, "Bob"), 0u);
    ASSERT_EQ(plugin.Functions.flushClientSelfUpdates(server.Handler(), nullptr), 0u);
    ASSERT_TRUE(WaitForEvent("onServerErrorEvent"));
    EXPECT_EQ(Arguments("onServerErrorEvent")[0], "513 nickname is already in use");
    EXPECT_EQ(server.Own().Nickname(), "Jörg");
}

TEST_F(SimEvents, ServerHappeningsRaiseTheirEventsInOrder) {
    auto& other = sim.AddServer("uid-2", "Other", STATUS_DISCONNECTED);
    StartPlugin();
    other.Connect();
    const anyID carl = server.ClientJoins("Carl", ingame);
    server.MoveClientBy(bob, ingame, carl);
    server.SetTalking(bob, STATUS_TALKING, true);
    ASSERT_TRUE(WaitForEvent("onTalkStatusChangeEvent"));

    const auto handler = std::to_string(other.Handler());
    EXPECT_EQ(Arguments("onConnectStatusChangeEvent"),
              (std::vector<std::string>{handler + " 1", handler + " 2", handler + " 3", handler + " 4"}));
    EXPECT_EQ(Arguments("onClientMoveEvent")[0], std::to_string(carl) + " 0->" + std::to_string(ingame) +
                                                     " " + std::to_string(ENTER_VISIBILITY));
    EXPECT_EQ(Arguments("onClientMoveMovedEvent")[0], std::to_string(bob) + " " + std::to_string(lobby) +
                                                          "->" + std::to_string(ingame) + " by " +
                                                          std::to_string(carl) + " Carl");
    EXPECT_EQ(Arguments("onTalkStatusChangeEvent")[0], std::to_string(bob) + " 1 1");
    EXPECT_TRUE(server.Client(bob).IsTalking());
}

TEST_F(SimEvents, AudioBlocksComeFromTheAudioThread) {
    StartPlugin();
    auto samples = driver->Audio().Playback(server.Handler(), bob, std::vector<short>(960, 1000));
    EXPECT_EQ(samples, std::vector<short>(960, 500));
    EXPECT_EQ(Arguments("onEditPlaybackVoiceDataEvent")[0], "960x1");
    auto captured = driver->Audio().Capture(server.Handler(), std::vector<short>(960), 2);
    EXPECT_EQ(captured.Edited, 3);
    EXPECT_EQ(driver->Audio().Rolloff(server.Handler(), bob, 12.0f), 0.0f);
    EXPECT_EQ(driver->Audio().Rolloff(server.Handler(), bob, 2.0f, 0.5f), 0.5f);

    const auto audioThread = Events("onEditPlaybackVoiceDataEvent")[0].Thread;
    EXPECT_NE(audioThread, std::this_thread::get_id());
    EXPECT_EQ(Events("onEditCapturedVoiceDataEvent")[0].Thread, audioThread);
    EXPECT_NE(Events("init")[0].Thread, audioThread);
}

TEST_F(SimEvents, ContinuousAudioRunsRoundsUntilStopped) {
    StartPlugin();
    server.SetTalking(bob, STATUS_TALKING);
    driver->Audio().Start();
    ASSERT_TRUE(sim.WaitFor([&] { return driver->Audio().Rounds() >= 3; }));
    driver->Audio().Stop();
    const auto rounds = driver->Audio().Rounds();
    const auto mixed = Events("onEditMixedPlaybackVoiceDataEvent").size();

    EXPECT_GE(mixed, 3u);
    EXPECT_GE(Events("onEditPlaybackVoiceDataEvent").size(), 3u);
    EXPECT_EQ(Arguments("onEditCapturedVoiceDataEvent")[0], "0");
    // A last synchronous block proves the thread is idle, not merely between rounds.
    driver->Audio().Rolloff(server.Handler(), bob, 1.0f);
    EXPECT_EQ(driver->Audio().Rounds(), rounds);
    EXPECT_EQ(Events("onEditMixedPlaybackVoiceDataEvent").size(), mixed);
}

} // namespace
} // namespace Tralvonic::Sim
