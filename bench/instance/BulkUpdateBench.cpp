// A game's BulkUpdate from the socket to the whisper list at the simulated host: one text
// message with every player's state and the own state, read by the plugin's WebSocket,
// dispatched, applied to the instance and recalculated (distances, bindings to clients, 3D
// positions, whisper list), until the host has received the new whisper list. 64, 256 and
// 1024 players, each with a client of his name in the in-game channel. The own position
// alternates between two places so that every update changes the whisper list.

#include "SimulatedClient.h"

#include "Model/GameInstanceSettings.h"
#include "TeamSpeak/Base.h"
#include "core/Base.h"
#include "instance/GameInstance.h"
#include "link/MessageDispatch.h"
#include "link/WebSocket.h"

#include <benchmark/benchmark.h>
#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/websocket.hpp>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace {

namespace net = boost::asio;
namespace websocket = boost::beast::websocket;
using tcp = boost::asio::ip::tcp;
using namespace Tralvonic;

constexpr std::string_view ServerUid = "bench-server-uid=";
constexpr std::string_view WhisperCall = "requestClientSetWhisperList";

std::string PlayerName(int index) {
    return "Player" + std::to_string(index);
}

// Players on a spiral around the origin, a metre apart; a voice range of 10 m reaches a few.
std::string BulkUpdateText(int players, float ownX) {
    std::string text = R"({"Command":9,"ServerUniqueIdentifier":")" + std::string(ServerUid) +
                       R"(","Parameter":{"PlayerStates":[)";
    for (int i = 0; i < players; ++i) {
        const double angle = 0.5 * i;
        const double radius = 1.0 + 0.25 * i;
        text += (i > 0 ? "," : "");
        text += R"({"Name":")" + PlayerName(i) + R"(","Position":{"X":)" +
                std::to_string(radius * std::cos(angle)) + R"(,"Y":)" +
                std::to_string(radius * std::sin(angle)) +
                R"(,"Z":0},"VoiceRange":10,"IsAlive":true,"VolumeOverride":null,"DistanceCulled":false})";
    }
    text += R"(],"SelfState":{"Position":{"X":)" + std::to_string(ownX) +
            R"(,"Y":0,"Z":0},"Rotation":45,"VoiceRange":10,"IsAlive":true}}})";
    return text;
}

struct BulkUpdateSetup {
    explicit BulkUpdateSetup(int players) : Tab(Sim.AddServer(std::string(ServerUid), "Bench")) {
        TeamSpeak::Base::SetFunctions(Sim.Functions());
        Configuration configuration;
        configuration.LogLevel = LogLevel::Info;
        configuration.InstanceTimeout = 100000;
        Base::SetConfiguration(configuration);

        const auto ingame = Tab.AddChannel("Ingame");
        Tab.AddOwnClient("Me", ingame);
        for (int i = 0; i < players; ++i)
            Tab.AddClient(PlayerName(i), ingame);

        Model::GameInstanceSettings settings;
        settings.ServerUniqueIdentifier = std::string(ServerUid);
        settings.ChannelId = ingame;
        settings.Name = "Me";
        Instance = std::make_shared<GameInstance>(settings);
        Instance->Initiate();

        Sim.Record().SetObserver([this](const Sim::HostCall& call) {
            if (call.Function != WhisperCall)
                return;
            {
                std::lock_guard lock(Mutex);
                ++WhisperLists;
            }
            Arrived.notify_all();
        });
        Server.SetMessageHandler(&MessageDispatch::OnMessage);
        Server.Start();
        const auto address = *Server.Address();
        const auto port = static_cast<std::uint16_t>(std::stoi(address.substr(address.rfind(':') + 1)));
        net::connect(Socket.next_layer(),
                     std::vector{tcp::endpoint(net::ip::make_address("127.0.0.1"), port)});
        Socket.next_layer().set_option(tcp::no_delay(true));
        Socket.handshake("127.0.0.1:" + std::to_string(port), "/");
        Socket.text(true);
    }

    ~BulkUpdateSetup() {
        Server.Stop();
        Sim.Record().SetObserver(nullptr);
        Base::StopGameInstances();
    }

    // Sends the update and waits until the host has the whisper list it leads to.
    bool Update(const std::string& text) {
        std::unique_lock lock(Mutex);
        const auto target = WhisperLists + 1;
        lock.unlock();
        Socket.write(net::buffer(text));
        lock.lock();
        return Arrived.wait_for(lock, std::chrono::seconds(10), [&] { return WhisperLists >= target; });
    }

    Sim::SimulatedClient Sim;
    Sim::SimServer& Tab;
    std::shared_ptr<GameInstance> Instance;
    WebSocket Server{"127.0.0.1:0"};
    net::io_context Io;
    websocket::stream<tcp::socket> Socket{Io};
    std::mutex Mutex;
    std::condition_variable Arrived;
    std::size_t WhisperLists = 0; // guarded by Mutex
};

// Updates that move every player between near and far, so that each one changes the whisper
// list; `update` hands one over and says whether the host received its whisper list.
template <class Update> void UpdateToWhisperList(benchmark::State& state, Update update) {
    const int players = static_cast<int>(state.range(0));
    BulkUpdateSetup setup(players);
    const std::string near = BulkUpdateText(players, 0.0f);
    const std::string far = BulkUpdateText(players, 5000.0f);
    bool isNear = true;
    for (auto _ : state) {
        if (!update(setup, isNear ? near : far)) {
            state.SkipWithError("the host received no whisper list");
            break;
        }
        isNear = !isNear;
        // The host's record of calls would grow with every update.
        state.PauseTiming();
        setup.Sim.Record().Clear();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * players);
}

void BulkUpdateToWhisperList(benchmark::State& state) {
    UpdateToWhisperList(state,
                        [](BulkUpdateSetup& setup, const std::string& text) { return setup.Update(text); });
}

// The same way without the socket, on the benchmark's own thread: the plugin's share of the
// work, as CPU time that other processes on the machine do not inflate.
void BulkUpdateDispatchToWhisperList(benchmark::State& state) {
    UpdateToWhisperList(state, [](BulkUpdateSetup& setup, const std::string& text) {
        const auto before = setup.WhisperLists;
        MessageDispatch::OnMessage(nullptr, text);
        return setup.WhisperLists == before + 1;
    });
}

} // namespace

BENCHMARK(BulkUpdateDispatchToWhisperList)->Arg(64)->Arg(256)->Arg(1024)->Unit(benchmark::kMicrosecond);
BENCHMARK(BulkUpdateToWhisperList)
    ->Arg(64)
    ->Arg(256)
    ->Arg(1024)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
