#include "SceneScript.h"

#include "PluginReports.h"
#include "Stage.h"

#include "SimServer.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <cstdio>
#include <utility>

namespace Tralvonic::Sim::Host::Demo {

using namespace std::chrono_literals;

namespace {

constexpr Position HeroAt{0, 0, 0};
constexpr int HeroRange = 8;
constexpr auto Reaction = 3s;       // how long a step waits for the plugin's answer
constexpr auto GettingIngame = 10s; // rename, move and the host's answer
constexpr int IngameState = 2;
constexpr int SwissState = 3;

std::string Where(const Position& position) {
    return "(" + std::to_string(position.X) + ", " + std::to_string(position.Y) + ", " +
           std::to_string(position.Z) + ")";
}

std::string Away(const Position& position) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", Distance(position, HeroAt));
    return text;
}

std::function<bool(const PluginReport&)> Is(Command command) {
    return [command](const PluginReport& report) {
        return report.Command == static_cast<int>(command);
    };
}

std::function<bool(const PluginReport&)> InstanceIs(int state) {
    return [state](const PluginReport& report) {
        return report.Command == static_cast<int>(Command::InstanceState) && report.State == state;
    };
}

std::function<bool(const PluginReport&)> Reported(Command command, std::string name, bool isOn) {
    return [command, name = std::move(name), isOn](const PluginReport& report) {
        return report.Command == static_cast<int>(command) && report.Name == name && report.IsOn == isOn;
    };
}

// Makes a simulated client talk or fall silent and waits for the plugin's talk state.
bool TalkAs(Stage& stage, const std::string& nickname, const std::string& player, bool talking) {
    const auto client = stage.ClientNamed(nickname);
    if (!client) {
        return true;
    }
    stage.Talk(*client, talking);
    stage.Expect(Reported(Command::TalkState, player, talking), Reaction,
                 "the plugin did not report " + player + (talking ? " talking" : " falling silent"));
    return true;
}

bool HeroTalks(Stage& stage, bool talking) {
    stage.Talk(stage.Server().OwnClient(), talking);
    stage.Expect(Reported(Command::TalkState, SceneHero, talking), Reaction,
                 std::string("the plugin did not report Hero ") + (talking ? "talking" : "falling silent"));
    return true;
}

Step Walk(std::vector<std::pair<std::string, Position>> moves) {
    std::string story;
    for (const auto& [name, to] : moves) {
        story += (story.empty() ? "" : "; ") + name + " walks to " + Where(to) + ", " + Away(to) +
                 " from Hero" +
                 (Distance(to, HeroAt) < HeroRange ? ", within his voice range" : ", out of his voice range");
    }
    return {1000ms, story, [moves = std::move(moves)](Stage& stage) {
                for (const auto& [name, to] : moves) {
                    if (PlayerState* player = stage.Scene().FindPlayer(name)) {
                        player->Location = to;
                    }
                }
                stage.SendBulkUpdate();
                return true;
            }};
}

const RadioCommunication CarlOnRadio{"Carl", LongRange | Distributed, LongRange, true, true, false, {}};
const RadioCommunication HeroOnRadio{SceneHero, LongRange, LongRange, true, true, false, {}};
const Sound Alarm{"onSecMicClick", true, "alarm"};
const Sound Click{"offSecMicClick", false, "click"};

bool Initiate(Stage& stage) {
    SimServer& server = stage.Server();
    const auto ingame = server.FindChannel("Ingame");
    const auto support = server.FindChannel("Support");
    if (!ingame || !support) {
        stage.Say("the simulated server lacks the channels Ingame and Support; the scene ends");
        return false;
    }
    stage.Scene().SelfName = SceneHero;
    stage.Scene().Self = {HeroAt, 0, HeroRange, true};
    stage.Send(GameMessages::Initiate(
        {SceneServer, static_cast<int>(*ingame), SceneHero, {static_cast<int>(*support)}, true, true}));
    if (!stage.Expect(InstanceIs(IngameState), GettingIngame,
                      "the plugin did not report the instance in game within 10 s; the scene ends")) {
        return false;
    }
    // A plugin of another program on the same address would answer too; this host's user shows
    // whether the answer came from the plugin it runs.
    const auto own = server.OwnClient();
    if (!stage.WaitForHost(
            [&] { return server.ChannelOf(own) == *ingame && server.Own().Nickname() == SceneHero; },
            Reaction)) {
        stage.Say("the game link answered, but this host's user is not Hero in Ingame: another program "
                  "holds the game link's address; the scene ends");
        return false;
    }
    stage.Say("the plugin renamed the user to Hero and moved him into Ingame");
    return true;
}

} // namespace

std::vector<Step> SceneOpening() {
    return {{0ms, "the game starts its instance: in-game name Hero, channel Ingame, swiss channel Support",
             Initiate}};
}

std::vector<Step> SceneBody() {
    std::vector<Step> steps;
    steps.push_back({1000ms,
                     "Hero stands at (0, 0, 0) with a voice range of 8; Bob at (3, 4, 0), 5.0 away; "
                     "Carl at (6, 0, 0), 6.0 away",
                     [](Stage& stage) {
                         stage.Scene().Players = {{"Bob", {3, 4, 0}, 10, true}, {"Carl", {6, 0, 0}, 8, true}};
                         stage.SendBulkUpdate();
                         return true;
                     }});
    steps.push_back(Walk({{"Bob", {5, 6, 0}}, {"Carl", {14, 0, 0}}}));
    steps.push_back(Walk({{"Bob", {6, 8, 0}}, {"Carl", {24, 0, 0}}}));
    steps.push_back(Walk({{"Bob", {4, 6, 0}}, {"Carl", {40, 0, 0}}}));
    steps.push_back(Walk({{"Bob", {3, 5, 0}}, {"Carl", {60, 0, 0}}}));
    steps.push_back({1000ms, "Hero turns to a heading of 90 degrees; the voices around him turn with him",
                     [](Stage& stage) {
                         stage.Scene().Self.Rotation = 90;
                         stage.Send(stage.Messages().SelfStateUpdate(stage.Scene().Self));
                         return true;
                     }});
    steps.push_back(
        {1200ms, "Alice joins the game at (-4, 2, 0) and walks from Lobby into Ingame", [](Stage& stage) {
             PlayerState alice{"Alice", {-4, 2, 0}, 8, true};
             stage.Scene().Players.push_back(alice);
             stage.Send(stage.Messages().PlayerStateUpdate(alice));
             // The plugin binds her when she enters, once it knows her player state.
             stage.Sync();
             if (const auto client = stage.ClientNamed("Alice")) {
                 if (const auto ingame = stage.Server().FindChannel("Ingame")) {
                     stage.Server().MoveClient(*client, *ingame);
                 }
             }
             stage.Pause(500ms);
             stage.Send(stage.Messages().SelfStateUpdate(stage.Scene().Self));
             return true;
         }});
    steps.push_back({1200ms, "Bob speaks", [](Stage& stage) {
                         return TalkAs(stage, "Bob", "Bob", true);
                     }});
    steps.push_back({1200ms, "Bob falls silent; Hero answers him", [](Stage& stage) {
                         TalkAs(stage, "Bob", "Bob", false);
                         return HeroTalks(stage, true);
                     }});
    steps.push_back({1200ms, "Hero falls silent", [](Stage& stage) {
                         return HeroTalks(stage, false);
                     }});
    steps.push_back({1200ms,
                     "the game sets up the radio net 101.1 (primary channel) for Hero, Bob, Carl and "
                     "Alice, with a tower at (30, 30, 0) of range 8000",
                     [](Stage& stage) {
                         const Tower tower{{30, 30, 0}, 8000};
                         stage.Scene().Towers = {tower};
                         stage.Scene().Radios = {{"101.1", true, {SceneHero, "Bob", "Carl", "Alice"}}};
                         stage.Send(stage.Messages().RadioTowerUpdate({tower}));
                         stage.Send(stage.Messages().UpdateRadioChannelMembers({"Bob", "Carl"}, true));
                         stage.Send(stage.Messages().AddRadioChannelMember("Alice", true));
                         return true;
                     }});
    steps.push_back({1200ms, "Carl, 60 away, calls Hero over the radio through the tower", [](Stage& stage) {
                         stage.Scene().Transmissions = {{"Carl", "101.1"}};
                         stage.Send(stage.Messages().RadioCommunicationUpdate(CarlOnRadio));
                         stage.Expect(Reported(Command::RadioTrafficState, "Carl", true), Reaction,
                                      "the plugin did not report Carl sending on the radio");
                         return TalkAs(stage, "Carl", "Carl", true);
                     }});
    steps.push_back({1500ms, "Carl ends his transmission", [](Stage& stage) {
                         stage.Scene().Transmissions.clear();
                         TalkAs(stage, "Carl", "Carl", false);
                         stage.Send(stage.Messages().StopRadioCommunication(CarlOnRadio));
                         stage.Expect(Reported(Command::RadioTrafficState, "Carl", false), Reaction,
                                      "the plugin did not report the end of Carl's transmission");
                         return true;
                     }});
    steps.push_back(
        {1200ms, "Hero answers over the radio: his voice goes to every member of 101.1", [](Stage& stage) {
             stage.Scene().Transmissions = {{SceneHero, "101.1"}};
             stage.Send(stage.Messages().RadioCommunicationUpdate(HeroOnRadio));
             stage.Expect(Reported(Command::RadioTrafficState, SceneHero, true), Reaction,
                          "the plugin did not report Hero sending on the radio");
             return HeroTalks(stage, true);
         }});
    steps.push_back({1500ms, "Hero ends his transmission", [](Stage& stage) {
                         stage.Scene().Transmissions.clear();
                         HeroTalks(stage, false);
                         stage.Send(stage.Messages().StopRadioCommunication(HeroOnRadio));
                         return true;
                     }});
    steps.push_back({1200ms, "Hero calls Carl on the phone (signal 18 of 20); they talk", [](Stage& stage) {
                         stage.Scene().Phones = {{SceneHero, "Carl"}};
                         stage.Send(stage.Messages().PhoneCommunicationUpdate({"Carl", 18, true, {}}));
                         return TalkAs(stage, "Carl", "Carl", true);
                     }});
    steps.push_back({1500ms, "the phone call ends", [](Stage& stage) {
                         stage.Scene().Phones.clear();
                         TalkAs(stage, "Carl", "Carl", false);
                         stage.Send(stage.Messages().StopPhoneCommunication("Carl"));
                         return true;
                     }});
    steps.push_back({1200ms, "Carl, 60 away, speaks through a megaphone of range 80", [](Stage& stage) {
                         stage.Scene().Megaphones = {{"Carl", 80}};
                         stage.Send(stage.Messages().MegaphoneCommunicationUpdate({"Carl", 80}));
                         return TalkAs(stage, "Carl", "Carl", true);
                     }});
    steps.push_back(
        {1500ms, "Carl puts the megaphone down; Hero speaks through one of range 80", [](Stage& stage) {
             TalkAs(stage, "Carl", "Carl", false);
             stage.Send(stage.Messages().StopMegaphoneCommunication("Carl"));
             stage.Scene().Megaphones = {{SceneHero, 80}};
             stage.Send(stage.Messages().MegaphoneCommunicationUpdate({SceneHero, 80}));
             return HeroTalks(stage, true);
         }});
    steps.push_back({1500ms, "Hero puts the megaphone down", [](Stage& stage) {
                         stage.Scene().Megaphones.clear();
                         HeroTalks(stage, false);
                         stage.Send(stage.Messages().StopMegaphoneCommunication(SceneHero));
                         return true;
                     }});
    steps.push_back({1200ms,
                     "an alarm starts (onSecMicClick, looped) and a click sounds once (offSecMicClick)",
                     [](Stage& stage) {
                         stage.Scene().Sounds = {Alarm.Handle, Click.Handle};
                         stage.Send(stage.Messages().PlaySound(Alarm));
                         stage.Send(stage.Messages().PlaySound(Click));
                         return true;
                     }});
    steps.push_back({1500ms, "the alarm stops", [](Stage& stage) {
                         stage.Scene().Sounds.clear();
                         stage.Send(stage.Messages().StopSound(Alarm));
                         return true;
                     }});
    steps.push_back({1200ms, "Hero mutes his microphone in TeamSpeak", [](Stage& stage) {
                         stage.Server().UpdateOwnVariable(TeamSpeak::CLIENT_INPUT_MUTED, "1");
                         stage.Expect(Is(Command::SoundState), Reaction,
                                      "the plugin did not report the muted microphone");
                         return true;
                     }});
    steps.push_back({1200ms, "Hero unmutes his microphone", [](Stage& stage) {
                         stage.Server().UpdateOwnVariable(TeamSpeak::CLIENT_INPUT_MUTED, "0");
                         stage.Expect(Is(Command::SoundState), Reaction,
                                      "the plugin did not report the microphone on");
                         return true;
                     }});
    steps.push_back({1200ms, "Hero steps into Support, a swiss channel, where the plugin leaves him alone",
                     [](Stage& stage) {
                         if (const auto support = stage.Server().FindChannel("Support")) {
                             stage.Server().MoveClient(stage.Server().OwnClient(), *support);
                         }
                         stage.Expect(InstanceIs(SwissState), Reaction,
                                      "the plugin did not report the swiss channel");
                         return true;
                     }});
    steps.push_back({1200ms, "Hero goes back into Ingame", [](Stage& stage) {
                         if (const auto ingame = stage.Server().FindChannel("Ingame")) {
                             stage.Server().MoveClient(stage.Server().OwnClient(), *ingame);
                         }
                         return stage.Expect(
                             InstanceIs(IngameState), Reaction,
                             "the plugin did not report the instance in game again; the scene ends");
                     }});
    return steps;
}

std::vector<Step> SceneFinale(int instanceTimeoutSeconds) {
    const auto timeout = std::chrono::seconds(instanceTimeoutSeconds);
    return {
        {1200ms,
         "the game ends: the sounds stop, Alice leaves the radio net, and Bob, Carl and Alice leave the game",
         [](Stage& stage) {
             SceneState& scene = stage.Scene();
             stage.Send(stage.Messages().StopSound(Alarm));
             stage.Send(stage.Messages().StopSound(Click));
             stage.Send(stage.Messages().RemoveRadioChannelMember("Alice", true));
             for (const PlayerState& player : scene.Players) {
                 stage.Send(stage.Messages().RemovePlayer(player.Name));
             }
             scene.Players.clear();
             scene.Towers.clear();
             scene.Radios.clear();
             scene.Transmissions.clear();
             scene.Phones.clear();
             scene.Megaphones.clear();
             scene.Sounds.clear();
             return true;
         }},
        {500ms,
         "the game stops answering the plugin's pings; the plugin ends the instance after " +
             std::to_string(instanceTimeoutSeconds) + " s",
         [timeout](Stage& stage) {
             stage.FallSilent();
             if (!stage.Expect(Is(Command::Reset), timeout + 5s, "the plugin did not end the instance")) {
                 return false;
             }
             SimServer& server = stage.Server();
             const auto ingame = server.FindChannel("Ingame");
             stage.WaitForHost(
                 [&] { return server.Own().Nickname() != SceneHero && server.Own().Channel != ingame; },
                 Reaction);
             const auto own = server.Own();
             stage.Say("the plugin ended the instance: the user is " + own.Nickname() + " again, in " +
                       server.Channel(own.Channel).Name());
             return true;
         }}};
}

} // namespace Tralvonic::Sim::Host::Demo
