// The console's answers apart from the page: the scene as JSON (what the host holds, what the
// game link said, the game view), the controls reaching the plugin as the host's own events,
// and requests it refuses (400 unreadable, 404 unknown, 405 wrong method, 409 not fitting,
// 413 too large).

#include "console/ConsoleServer.h"
#include "console/GameLinkRecords.h"
#include "console/Routes.h"
#include "host/DefaultWorld.h"
#include "host/GameView.h"

#include "SimulatedClient.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/write.hpp>
#include <boost/json/parse.hpp>

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace Tralvonic::Sim::Host {

namespace {

namespace json = boost::json;

// What reached the plugin's side, in order.
std::mutex eventsMutex;
std::vector<std::string> events;

void Note(std::string event) {
    std::lock_guard lock(eventsMutex);
    events.push_back(std::move(event));
}

PluginExports RecordingPlugin() {
    PluginExports plugin;
    plugin.onClientMoveEvent = [](uint64, anyID client, uint64 from, uint64 to, int, const char*) {
        Note("move " + std::to_string(client) + " " + std::to_string(from) + "->" + std::to_string(to));
    };
    plugin.onTalkStatusChangeEvent = [](uint64, int status, int, anyID client) {
        Note("talk " + std::to_string(client) + " " + std::to_string(status));
    };
    plugin.onUpdateClientEvent = [](uint64, anyID client, anyID, const char*, const char*) {
        Note("update " + std::to_string(client));
    };
    plugin.onClientSelfVariableUpdateEvent = [](uint64, int flag, const char*, const char* value) {
        Note("self " + std::to_string(flag) + "=" + value);
    };
    plugin.onConnectStatusChangeEvent = [](uint64, int status, unsigned int) {
        Note("status " + std::to_string(status));
    };
    return plugin;
}

class ConsoleRoutes : public testing::Test {
protected:
    ConsoleRoutes() : server(BuildDefaultWorld(client)), pages(client, server, &view, records) {
        server.SetStatus(TeamSpeak::STATUS_CONNECTION_ESTABLISHED);
        client.AttachPlugin(RecordingPlugin());
        std::lock_guard lock(eventsMutex);
        events.clear();
    }
    ~ConsoleRoutes() override { client.DetachPlugin(); }

    json::object State() {
        const auto answer = pages.Answer("GET", "/api/state", "");
        EXPECT_EQ(answer.Status, 200u);
        EXPECT_EQ(answer.ContentType, "application/json");
        return json::parse(answer.Body).as_object();
    }
    json::object Client(const std::string& name) {
        const auto state = State();
        for (const auto& entry : state.at("Clients").as_array()) {
            if (entry.as_object().at("Name") == name.c_str()) {
                return entry.as_object();
            }
        }
        ADD_FAILURE() << "no client " << name;
        return {};
    }
    HttpAnswer Post(const std::string& path, const std::string& body = "") {
        return pages.Answer("POST", path, body);
    }
    std::vector<std::string> Events() {
        EXPECT_TRUE(client.WaitForEvents());
        std::lock_guard lock(eventsMutex);
        return events;
    }
    anyID Id(const std::string& name) { return *server.FindClient(name); }

    SimulatedClient client;
    SimServer& server;
    GameView view;
    GameLinkRecords records{"127.0.0.1:38088"};
    Routes pages;
};

TEST_F(ConsoleRoutes, StateShowsTheClientsWithTheirChannelsPositionsAndTheUsersWhisperList) {
    const anyID bob = Id("Bob");
    const TeamSpeak::TS3_VECTOR offset{3, -4, 0};
    ASSERT_EQ(client.Functions().channelset3DAttributes(server.Handler(), bob, &offset), 0u);
    const anyID targets[] = {bob, 0};
    ASSERT_EQ(client.Functions().requestClientSetWhisperList(server.Handler(), 0, nullptr, targets, nullptr),
              0u);
    server.SetTalking(Id("Carl"), TeamSpeak::STATUS_TALKING);

    auto state = State();
    EXPECT_EQ(state["Server"].at("IsConnected"), true);
    EXPECT_EQ(state["Channels"].as_array().size(), 5u);
    const auto user = Client("Player");
    EXPECT_EQ(user.at("IsUser"), true);
    EXPECT_EQ(user.at("Channel"), 1);
    EXPECT_TRUE(user.at("Position").is_null());
    const auto bobState = Client("Bob");
    EXPECT_EQ(bobState.at("Channel"), 2);
    EXPECT_EQ(bobState.at("Position").at("X").to_number<double>(), 3.0);
    EXPECT_EQ(bobState.at("Position").at("Y").to_number<double>(), -4.0);
    EXPECT_EQ(Client("Carl").at("IsTalking"), true);
    EXPECT_EQ(state["Whisper"].at("Clients"), json::array({bob}));
    EXPECT_TRUE(state["Whisper"].at("Channels").is_null());
    // The plugin has set no listener yet: zeros would be a lie.
    EXPECT_TRUE(state["Listener"].is_null());
    EXPECT_TRUE(state["Game"].is_null());
}

TEST_F(ConsoleRoutes, StateCarriesTheGameViewAndTheListedBroadcastsOfTheGameLink) {
    view.Publish(R"({"Step":"a phone call","Phones":[{"Caller":"Hero","Partner":"Bob"}]})");
    records.SetConnected(true);
    records.Add(R"({"Command":3,"ServerUniqueIdentifier":"s","Parameter":null})");
    records.Add(R"({"Command":5,"ServerUniqueIdentifier":"s","Parameter":{"IsConnectedToServer":true,)"
                R"("IsReady":true,"State":2}})");
    records.Add(R"({"Command":11,"ServerUniqueIdentifier":"s","Parameter":{"Name":"Bob","IsTalking":true}})");
    records.Add(R"({"Error":6,"Message":"PlayerState.VoiceRange has to be >= 0f","ServerIdentifier":"s"})");
    records.Add("not json");

    auto state = State();
    EXPECT_EQ(state["Game"].at("Step"), "a phone call");
    const auto& link = state["GameLink"].as_object();
    EXPECT_EQ(link.at("IsConnected"), true);
    EXPECT_EQ(link.at("Address"), "ws://127.0.0.1:38088");
    ASSERT_EQ(link.at("Instances").as_array().size(), 1u);
    EXPECT_EQ(link.at("Instances").at(0).at("State"), 2);
    EXPECT_EQ(link.at("Instances").at(0).at("ServerUniqueIdentifier"), "s");
    const auto& listed = link.at("Records").as_array();
    ASSERT_EQ(listed.size(), 3u); // the ping and the text that is no JSON are left out
    EXPECT_EQ(listed.at(0).at("Kind"), "InstanceState");
    EXPECT_EQ(listed.at(1).at("Kind"), "TalkState");
    EXPECT_EQ(listed.at(2).at("Kind"), "PluginError");
    EXPECT_EQ(listed.at(2).at("ServerUniqueIdentifier"), "s");

    // A view that is no JSON object is drawn as none; a lost link forgets the instances.
    view.Publish("[1,2");
    records.SetConnected(false);
    state = State();
    EXPECT_TRUE(state["Game"].is_null());
    EXPECT_TRUE(state["GameLink"].at("Instances").as_array().empty());
}

TEST_F(ConsoleRoutes, TheListOfBroadcastsKeepsTheNewestHundred) {
    for (int i = 0; i < 130; ++i) {
        records.Add(R"({"Command":6,"ServerUniqueIdentifier":"n)" + std::to_string(i) +
                    R"(","Parameter":{}})");
    }
    const auto state = State();
    const auto& listed = state.at("GameLink").at("Records").as_array();
    ASSERT_EQ(listed.size(), GameLinkRecords::MaxRecords);
    EXPECT_EQ(listed.front().at("ServerUniqueIdentifier"), "n30");
    EXPECT_EQ(listed.back().at("Number"), 130);
}

TEST_F(ConsoleRoutes, ControlsReachThePluginAsTheHostsOwnEvents) {
    const anyID carl = Id("Carl");
    const anyID alice = Id("Alice");
    const anyID user = server.OwnClient();

    EXPECT_EQ(Post("/api/clients/" + std::to_string(carl) + "/move", R"({"Channel":1})").Status, 200u);
    EXPECT_EQ(Post("/api/clients/" + std::to_string(carl) + "/talk", R"({"Talking":true})").Status, 200u);
    EXPECT_EQ(Post("/api/clients/" + std::to_string(alice) + "/mute", R"({"Muted":true})").Status, 200u);
    EXPECT_EQ(Post("/api/clients/" + std::to_string(user) + "/talk", R"({"Talking":true})").Status, 200u);
    EXPECT_EQ(Post("/api/clients/" + std::to_string(user) + "/mute", R"({"Muted":true})").Status, 200u);
    EXPECT_EQ(Post("/api/clients/" + std::to_string(user) + "/sound", R"({"Muted":true})").Status, 200u);
    EXPECT_EQ(Post("/api/server/disconnect").Status, 200u);
    EXPECT_EQ(Post("/api/server/connect", "{}").Status, 200u);

    const std::string microphone = "self " + std::to_string(TeamSpeak::CLIENT_INPUT_MUTED) + "=1";
    const std::string speakers = "self " + std::to_string(TeamSpeak::CLIENT_OUTPUT_MUTED) + "=1";
    const std::vector<std::string> expected{"move 4 2->1", "talk 4 1", "update 2", "talk 1 1", microphone,
                                            "update 1",    speakers,   "update 1", "status 0", "status 1",
                                            "status 2",    "status 3", "status 4"};
    EXPECT_EQ(Events(), expected);
    EXPECT_EQ(server.ChannelOf(carl), 1u);
    EXPECT_TRUE(server.Client(alice).IsLocallyMuted());
    EXPECT_TRUE(server.Own().IsInputMuted());
    EXPECT_TRUE(server.Own().IsOutputMuted());
    EXPECT_EQ(Client("Carl").at("IsTalking"), true);
}

TEST_F(ConsoleRoutes, RequestsThatCannotBeReadOrNameNothingAreRefused) {
    const std::string bob = "/api/clients/" + std::to_string(Id("Bob"));
    EXPECT_EQ(Post(bob + "/move", R"({"Channel":)").Status, 400u);
    EXPECT_EQ(Post(bob + "/move", R"([1])").Status, 400u);
    EXPECT_EQ(Post(bob + "/move", R"({"Channel":"Lobby"})").Status, 400u);
    EXPECT_EQ(Post(bob + "/talk", R"({"Talking":1})").Status, 400u);
    EXPECT_EQ(Post(bob + "/sound", R"({"Muted":true})").Status, 400u); // only the user's
    EXPECT_EQ(Post("/api/clients/x/talk", R"({"Talking":true})").Status, 400u);
    EXPECT_EQ(Post("/api/clients/99/talk", R"({"Talking":true})").Status, 404u);
    EXPECT_EQ(Post(bob + "/move", R"({"Channel":99})").Status, 404u);
    EXPECT_EQ(Post(bob + "/dance", "{}").Status, 404u);
    EXPECT_EQ(Post("/api/server/explode").Status, 404u);
    EXPECT_EQ(pages.Answer("GET", bob + "/talk", "").Status, 405u);
    EXPECT_EQ(pages.Answer("GET", "/nothing", "").Status, 404u);
    const auto refused = Post(bob + "/move", R"({"Channel":2})");
    EXPECT_EQ(refused.Status, 409u);
    EXPECT_EQ(refused.Body, R"({"Error":"Bob is in Ingame already"})");
    EXPECT_EQ(Post("/api/server/connect").Status, 409u);
    server.SetStatus(TeamSpeak::STATUS_DISCONNECTED);
    EXPECT_EQ(Post(bob + "/talk", R"({"Talking":true})").Status, 409u);
    EXPECT_EQ(Post("/api/server/disconnect").Status, 409u);
    // None of it reached the plugin or changed the world.
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(Client("Bob").at("IsTalking"), false);
}

TEST_F(ConsoleRoutes, ThePageIsServedFromTheProgramItself) {
    const auto page = pages.Answer("GET", "/", "");
    EXPECT_EQ(page.Status, 200u);
    EXPECT_EQ(page.ContentType, "text/html; charset=utf-8");
    EXPECT_NE(page.Body.find("<script src=\"console.js\">"), std::string::npos);
    EXPECT_EQ(pages.Answer("GET", "/console.js?v=1", "").ContentType, "text/javascript; charset=utf-8");
    EXPECT_EQ(pages.Answer("GET", "/console.css", "").Status, 200u);
}

// The server over a real socket: what a request too large for it gets.
class ConsoleSocket : public ConsoleRoutes {
protected:
    ConsoleSocket() : console(io, pages, 0) {
        console.Start();
        thread = std::thread([this] { io.run(); });
    }
    ~ConsoleSocket() override {
        io.stop();
        thread.join();
    }

    std::string Exchange(const std::string& request) {
        boost::asio::io_context local;
        boost::asio::ip::tcp::socket socket(local);
        socket.connect({boost::asio::ip::make_address("127.0.0.1"), console.Port()});
        boost::system::error_code error;
        boost::asio::write(socket, boost::asio::buffer(request), error);
        std::string answer;
        boost::asio::read(socket, boost::asio::dynamic_buffer(answer), error);
        return answer;
    }

    // Opens an event stream on `socket` and returns the answer's head and first event.
    std::string OpenStream(boost::asio::ip::tcp::socket& socket) {
        socket.connect({boost::asio::ip::make_address("127.0.0.1"), console.Port()});
        boost::asio::write(socket,
                           boost::asio::buffer(std::string("GET /api/events HTTP/1.1\r\nHost: x\r\n\r\n")));
        std::string answer;
        boost::system::error_code error;
        boost::asio::read_until(socket, boost::asio::dynamic_buffer(answer), "\n\n", error);
        return answer;
    }

    boost::asio::io_context io{1};
    ConsoleServer console;
    std::thread thread;
};

TEST_F(ConsoleSocket, OversizedRequestsAreRefusedWith413) {
    const std::string bob = "/api/clients/" + std::to_string(Id("Bob")) + "/talk";
    const std::string body(5000, ' ');
    const auto big =
        Exchange("POST " + bob + " HTTP/1.1\r\nHost: x\r\nContent-Length: " + std::to_string(body.size()) +
                 "\r\n\r\n" + body);
    EXPECT_TRUE(big.starts_with("HTTP/1.1 413")) << big;
    const auto longHeader =
        Exchange("GET / HTTP/1.1\r\nHost: x\r\nX-Filler: " + std::string(9000, 'a') + "\r\n\r\n");
    EXPECT_TRUE(longHeader.starts_with("HTTP/1.1 413")) << longHeader;
    const auto fine = Exchange("POST " + bob +
                               " HTTP/1.1\r\nHost: x\r\nConnection: close\r\nContent-Length: 16\r\n\r\n"
                               R"({"Talking":true})");
    EXPECT_TRUE(fine.starts_with("HTTP/1.1 200")) << fine;
    EXPECT_NE(fine.find(R"({"Done":"Bob talks"})"), std::string::npos) << fine;
}

TEST_F(ConsoleSocket, AtMostEightPagesGetTheLiveSceneAtOnce) {
    boost::asio::io_context local;
    std::vector<boost::asio::ip::tcp::socket> streams;
    for (int i = 0; i < ConsoleLimits{}.MaxEventStreams; ++i) {
        auto& socket = streams.emplace_back(local);
        const auto answer = OpenStream(socket);
        ASSERT_TRUE(answer.starts_with("HTTP/1.1 200 OK")) << i << ": " << answer;
        EXPECT_NE(answer.find("Content-Type: text/event-stream"), std::string::npos);
        EXPECT_NE(answer.find("event: state\ndata: {\"Server\""), std::string::npos) << answer;
    }
    boost::asio::ip::tcp::socket ninth(local);
    EXPECT_TRUE(OpenStream(ninth).starts_with("HTTP/1.1 503")) << "a ninth page was served";
    // A page that goes away gives its place back, once the console has seen it go: each
    // attempt is a round trip through the console's thread, which handles the close in turn.
    streams.front().close();
    std::string answer;
    for (int attempt = 0; attempt < 500 && !answer.starts_with("HTTP/1.1 200"); ++attempt) {
        boost::asio::ip::tcp::socket again(local);
        answer = OpenStream(again);
    }
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 200")) << answer;
}

} // namespace

} // namespace Tralvonic::Sim::Host
