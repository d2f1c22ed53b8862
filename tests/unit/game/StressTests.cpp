// Everything at once, as on a busy evening: several games on several servers send commands
// as fast as they can and start instances again after their silent ones timed out, while
// the host moves clients, changes the user's variables, reports talking and runs its audio
// callbacks. Built under ThreadSanitizer in CI, where any data race fails the run; in every
// build the plugin must come through without a failure and stop cleanly.

#include "unit/game/GameOnPluginFixture.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <map>
#include <thread>

namespace Tralvonic::Test {
namespace {

using Clock = std::chrono::steady_clock;

class Stress : public GameOnPlugin {
protected:
    struct Game {
        std::string Uid;
        std::unique_ptr<GameScript> Script;
    };

    std::string Command(const std::string& uid, int command, const std::string& parameter = "null") {
        return R"({"Command":)" + std::to_string(command) + R"(,"ServerUniqueIdentifier":")" + uid +
               R"(","Parameter":)" + parameter + "}";
    }

    std::string InitiateFor(const std::string& uid, std::uint64_t channel) {
        return R"({"Command":1,"Parameter":{"ServerUniqueIdentifier":")" + uid +
               R"(","Name":"Player","ChannelId":)" + std::to_string(channel) + "}}";
    }
};

TEST_F(Stress, GamesHostEventsAndAudioTogetherNeitherRaceNorDeadlock) {
    // Two more servers beside the fixture's, each with its game.
    std::vector<std::pair<std::string, Sim::SimServer*>> servers{{ServerUid, Server}};
    for (const std::string uid : {"second-server-uid=", "third-server-uid="}) {
        auto& server = Sim.AddServer(uid, uid, TeamSpeak::STATUS_DISCONNECTED);
        const auto lobby = server.AddChannel("Lobby");
        server.AddChannel("Ingame");
        server.AddOwnClient("Tester", lobby);
        server.AddClient("Bob", lobby);
        servers.emplace_back(uid, &server);
    }
    StartPlugin(/*instanceTimeout=*/1);
    for (auto& [uid, server] : servers) {
        server->Connect();
    }
    Driver->Audio().Start();

    std::map<std::string, std::uint64_t> ingameOf;
    for (auto& [uid, server] : servers) {
        ingameOf[uid] = *server->FindChannel("Ingame");
    }
    std::vector<Game> games;
    for (auto& [uid, server] : servers) {
        games.push_back({uid, ConnectGame()});
    }

    const auto until = Clock::now() + std::chrono::seconds(4);
    // Joined however the test ends.
    std::jthread host([&](std::stop_token stop) {
        int round = 0;
        while (!stop.stop_requested()) {
            for (auto& [uid, server] : servers) {
                const auto bob = *server->FindClient("Bob");
                const auto ingame = *server->FindChannel("Ingame");
                const auto lobby = *server->FindChannel("Lobby");
                server->MoveClient(bob, round % 2 == 0 ? ingame : lobby);
                server->SetTalking(bob, round % 3 == 0 ? TeamSpeak::STATUS_TALKING
                                                       : TeamSpeak::STATUS_NOT_TALKING);
                server->UpdateOwnVariable(TeamSpeak::CLIENT_INPUT_HARDWARE, round % 2 == 0 ? "1" : "0");
                server->UpdateOwnVariable(TeamSpeak::CLIENT_OUTPUT_MUTED, round % 4 == 0 ? "1" : "0");
            }
            ++round;
            Sim.WaitForEvents();
            // Every round is broadcast to every game several times over; unpaced, a starved
            // game falls behind far enough for the plugin to drop it as a stalled reader.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });

    const std::string player =
        R"({"Name":"Bob","Position":{"X":3,"Y":4,"Z":0},"VoiceRange":10,"Muffle":{"Intensity":4}})";
    const std::string self = R"({"Position":{"X":0,"Y":0,"Z":0},"Rotation":90,"VoiceRange":8})";
    while (Clock::now() < until) {
        for (auto& game : games) {
            // After a time-out the next Initiate starts a new instance; before, it is refused.
            game.Script->Send(InitiateFor(game.Uid, ingameOf.at(game.Uid)));
            for (const auto& text :
                 {Command(game.Uid, 3), Command(game.Uid, 8, player), Command(game.Uid, 7, self),
                  Command(game.Uid, 9, R"({"PlayerStates":[)" + player + R"(],"SelfState":)" + self + "}"),
                  Command(game.Uid, 18, R"({"Filename":"missing","Handle":"h"})"),
                  Command(game.Uid, 19, R"({"Handle":"h"})"), Command(game.Uid, 10, R"({"Name":"Bob"})")}) {
                game.Script->Send(text);
            }
            game.Script->Drain();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    host.request_stop();
    host.join();

    Driver->Shutdown();
    EXPECT_FALSE(Driver->IsRunning());
    for (const auto& entry : Sim.LogEntries()) {
        EXPECT_EQ(entry.Message.find("Exception"), std::string::npos) << entry.Message;
    }
    // Instances came and went.
    EXPECT_TRUE(HostLogHas("No pong command in the last 1 seconds..."));
}

} // namespace
} // namespace Tralvonic::Test
