// The dispatch of game messages: what is logged for unreadable and non-executable messages,
// how envelopes are read, what happens to commands for servers without an instance, the
// answers to Initiate, which go to the sender only, and the timing line for testers.

#include "unit/link/PluginLinkFixture.h"

#include "link/MessageDispatch.h"

#include <gmock/gmock.h>

#include <regex>

namespace Tralvonic::Test {
namespace {

using ::testing::ElementsAre;

constexpr int HostError = 1;
constexpr std::string_view InvalidJsonAnswer = R"({"Error":1,"Message":null,"ServerIdentifier":null})";
constexpr std::string_view AlreadyInGameAnswer = R"({"Error":3,"Message":null,"ServerIdentifier":null})";

using Dispatch = PluginLinkTest;

void Handle(const std::string& text) {
    MessageDispatch::OnMessage(nullptr, text);
}

TEST_F(Dispatch, TextsWithoutEnvelopeAreLoggedAsUnparsable) {
    for (const std::string text : {"", "  ", "null"}) {
        Handle(text);
        EXPECT_THAT(MessageLinesAbout("Could not parse message: "),
                    ::testing::Contains("Could not parse message: " + text))
            << "text: '" << text << "'";
    }
}

TEST_F(Dispatch, MessagesThatFailAreLoggedWithTheTextAndTheFailure) {
    Handle("not json");
    Handle(R"({"Command":8,"ServerUniqueIdentifier":"server","Parameter":5})");

    const auto failures = MessageLinesAbout("Exception: ");
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_TRUE(failures[0].starts_with("Message: not json\r\nException: ")) << failures[0];
    EXPECT_GT(failures[0].size(), std::string("Message: not json\r\nException: ").size());
    EXPECT_TRUE(failures[1].starts_with(
        "Message: {\"Command\":8,\"ServerUniqueIdentifier\":\"server\",\"Parameter\":5}\r\nException: "))
        << failures[1];
    for (const auto& entry : LogsOn(LogChannel::WebSocketOnMessage)) {
        if (entry.Message.find("Exception: ") != std::string::npos) {
            EXPECT_EQ(entry.Severity, HostError);
        }
    }
}

TEST_F(Dispatch, CommandsThatThePluginDoesNotExecuteAreLogged) {
    for (const int command : {0, 2, 5, 6, 11, 12, 33, 99, -1}) {
        const std::string text =
            R"({"Command":)" + std::to_string(command) + R"(,"ServerUniqueIdentifier":"server"})";
        Handle(text);
        EXPECT_THAT(MessageLinesAbout("Non-executable message: "),
                    ::testing::Contains("Non-executable message: " + text))
            << "command " << command;
    }
    Handle(R"({"Command":"reset"})");
    EXPECT_THAT(MessageLinesAbout("Non-executable message: "),
                ::testing::Contains(R"(Non-executable message: {"Command":"reset"})"));
    for (const auto& entry : LogsOn(LogChannel::WebSocketOnMessage)) {
        if (entry.Message.starts_with("Non-executable message: ")) {
            EXPECT_EQ(entry.Severity, HostError);
        }
    }
}

TEST_F(Dispatch, CommandsForAServerWithoutInstanceLeaveOnlyTheRawTextLine) {
    // Key names in other letter case and commands given by name are read like the usual form;
    // were they not, the command would read as PluginState and be logged as non-executable.
    const std::vector<std::string> texts{
        R"({"Command":8,"ServerUniqueIdentifier":"unknown","Parameter":{"Name":"Someone"}})",
        R"({"command":8,"serveruniqueidentifier":"unknown","parameter":{}})",
        R"({"Command":"PlayerStateUpdate","ServerUniqueIdentifier":"unknown"})",
        R"({"Command":"bulkupdate","ServerUniqueIdentifier":"unknown","Parameter":{"PlayerStates":"wrong type"}})",
        R"({"Command":3})",
    };
    for (const auto& text : texts) {
        Handle(text);
        EXPECT_THAT(MessageLinesAbout(text), ElementsAre(text)) << text;
    }
    EXPECT_TRUE(MessageLinesAbout("Non-executable").empty());
    EXPECT_TRUE(MessageLinesAbout("Exception").empty());

    // Testers see no timing line for them either.
    Configure(UpdateBranch::Testing);
    const std::string timed = R"({"Command":7,"ServerUniqueIdentifier":"other"})";
    Handle(timed);
    EXPECT_TRUE(MessageLinesAbout(timed).empty());
}

TEST_F(Dispatch, RadioPhoneAndMegaphoneCommandsReachTheirInstance) {
    const auto instance = MakeInstance("server");
    Base::AddGameInstance(instance);
    const auto send = [](int command, const std::string& parameter) {
        Handle(R"({"Command":)" + std::to_string(command) +
               R"(,"ServerUniqueIdentifier":"server","Parameter":)" + parameter + "}");
    };
    send(20, R"({"Name":"Anna","SignalStrength":12})");
    send(20, R"({"Name":"Ben","SignalStrength":3})");
    send(21, R"({"Name":"Ben"})");
    send(30, R"({"Name":"Carl","SenderRadioType":2,"OwnRadioType":2})");
    send(30, R"({"Name":"Dora","SenderRadioType":2,"OwnRadioType":2})");
    send(31, R"({"Name":"Dora"})");
    send(32, R"({"Towers":[{"X":1,"Y":2,"Z":3,"Range":500}]})");
    send(37, R"({"PlayerName":"Eve","IsPrimaryChannel":true})");
    send(37, R"({"PlayerName":"Finn","IsPrimaryChannel":true})");
    send(39, R"({"PlayerName":"Eve","IsPrimaryChannel":true})");
    send(38, R"({"PlayerNames":["Gus","Hal"],"IsPrimaryChannel":false})");
    send(40, R"({"Name":"Ida","Range":30})");
    send(40, R"({"Name":"Jon","Range":30})");
    send(41, R"({"Name":"Jon"})");

    EXPECT_TRUE(MessageLinesAbout("Non-executable").empty());
    EXPECT_TRUE(MessageLinesAbout("Exception").empty());
    ASSERT_EQ(instance->PhoneCommunications()->size(), 1u);
    EXPECT_EQ(instance->PhoneCommunications()->front().Communication.SignalStrength, 12);
    ASSERT_EQ(instance->RadioCommunications()->size(), 1u);
    EXPECT_EQ(instance->RadioCommunications()->front().Communication.Name, "Carl");
    ASSERT_EQ(instance->RadioTowers()->size(), 1u);
    EXPECT_EQ(instance->RadioTowers()->front().Range, 500.0f);
    EXPECT_EQ(*instance->PrimaryRadioChannelMembers(), std::vector<std::string>{"Finn"});
    EXPECT_EQ(*instance->SecondaryRadioChannelMembers(), (std::vector<std::string>{"Gus", "Hal"}));
    ASSERT_EQ(instance->MegaphoneCommunications()->size(), 1u);
    EXPECT_EQ(instance->MegaphoneCommunications()->front().Communication.Name, "Ida");
}

TEST_F(Dispatch, TestersGetTheHandlingTimeInsteadOfTheRawText) {
    Configure(UpdateBranch::Testing);
    const std::string text = R"({"Command":99})";
    Handle(text);
    const auto lines = MessageLinesAbout(text);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "Non-executable message: " + text);
    // std::regex, as GoogleTest's own expressions on Windows have no character classes.
    EXPECT_TRUE(
        std::regex_match(lines[1], std::regex(R"(Time taken: [0-9]+ms \| Message: \{"Command":99\})")))
        << lines[1];

    Configure(UpdateBranch::Stable);
    const std::string stable = R"({"Command":98})";
    Handle(stable);
    EXPECT_THAT(MessageLinesAbout(stable), ElementsAre(stable, "Non-executable message: " + stable));
}

TEST_F(Dispatch, InitiateWithoutParameterIsAnsweredToTheSenderOnly) {
    StartPluginLink();
    auto sender = ConnectGame();
    auto bystander = ConnectGame();

    // A failing message leaves the connection open: the next one is still answered.
    sender.Command("send not json");
    sender.Command(R"(send {"Command":1,"ServerUniqueIdentifier":"server"})");
    EXPECT_EQ(NextMessage(sender), InvalidJsonAnswer);
    sender.Command(R"(send {"command":"initiate","Parameter":null})");
    EXPECT_EQ(NextMessage(sender), InvalidJsonAnswer);

    // Per connection the order of sending holds: had the bystander been answered, that
    // answer would come before this broadcast.
    Base::AddGameInstance(MakeInstance("server"));
    EXPECT_EQ(NextMessage(bystander), PluginStateMessage("server", 1));
    EXPECT_EQ(NextMessage(sender), PluginStateMessage("server", 1));
    EXPECT_EQ(MessageLinesAbout("Message: not json\r\nException: ").size(), 1u);
}

TEST_F(Dispatch, InitiateWithoutAServerIsAnsweredInvalidJsonAndStartsNothing) {
    StartPluginLink();
    auto sender = ConnectGame();
    auto bystander = ConnectGame();

    // Such an instance could never be found by its server, nor kept alive by its game.
    for (const std::string parameter :
         {R"({"Name":"Player"})", R"({"ServerUniqueIdentifier":null,"Name":"Player"})",
          R"({"ServerUniqueIdentifier":"","Name":"Player"})",
          R"({"ServerUniqueIdentifier":" \t","Name":"Player"})"}) {
        sender.Command(R"(send {"Command":1,"Parameter":)" + parameter + "}");
        EXPECT_EQ(NextMessage(sender), InvalidJsonAnswer) << parameter;
    }
    EXPECT_TRUE(Base::GameInstances().empty());

    Base::AddGameInstance(MakeInstance("server"));
    EXPECT_EQ(NextMessage(bystander), PluginStateMessage("server", 1));
}

TEST_F(Dispatch, InitiateBeyondTheMostInstancesIsAnsweredInvalidValueToTheSenderOnly) {
    StartPluginLink();
    for (std::size_t i = 0; i < Base::MaxGameInstances; ++i) {
        Base::AddGameInstance(MakeInstance("server" + std::to_string(i)));
    }
    auto sender = ConnectGame();
    auto bystander = ConnectGame();

    const std::string initiate =
        R"(send {"Command":1,"Parameter":{"ServerUniqueIdentifier":"one more","Name":"Player"}})";
    sender.Command(initiate);
    EXPECT_EQ(
        NextMessage(sender),
        R"({"Error":6,"Message":"PluginState.ActiveInstances has to be <= 64","ServerIdentifier":null})");
    EXPECT_EQ(Base::GameInstances().size(), 64u);

    // Once an instance has left, the next one is taken.
    Base::RemoveGameInstanceDelayed(Base::GameInstances()[0]);
    EXPECT_EQ(NextMessage(bystander), PluginStateMessage("server0", 63));
    EXPECT_EQ(NextMessage(sender), PluginStateMessage("server0", 63));
    sender.Command(initiate);
    EXPECT_EQ(NextMessage(bystander), PluginStateMessage("one more", 64));
    EXPECT_EQ(Base::GameInstances().size(), 64u);
}

TEST_F(Dispatch, InitiateForARegisteredServerIsAnsweredAlreadyInGameToTheSenderOnly) {
    StartPluginLink();
    auto sender = ConnectGame();
    auto bystander = ConnectGame();
    const auto existing = MakeInstance("server");
    Base::AddGameInstance(existing);
    ASSERT_EQ(NextMessage(sender), PluginStateMessage("server", 1));
    ASSERT_EQ(NextMessage(bystander), PluginStateMessage("server", 1));

    sender.Command(
        R"(send {"Command":1,"Parameter":{"ServerUniqueIdentifier":"server","Name":"Other","ChannelId":4}})");
    EXPECT_EQ(NextMessage(sender), AlreadyInGameAnswer);

    Base::AddGameInstance(MakeInstance("second"));
    EXPECT_EQ(NextMessage(bystander), PluginStateMessage("second", 2));
    const auto instances = Base::GameInstances();
    ASSERT_EQ(instances.size(), 2u);
    EXPECT_EQ(instances[0], existing);
    EXPECT_EQ(instances[0]->Name(), "Player");
}

TEST_F(Dispatch, InitiateForANewServerStartsAnInstanceThatEveryoneHearsOf) {
    StartPluginLink();
    auto sender = ConnectGame();
    auto bystander = ConnectGame();
    // The host is not connected to this server: the instance waits, not connected.
    sender.Command(R"(send {"Command":1,"Parameter":{"ServerUniqueIdentifier":"server","Name":"Player"}})");
    for (auto* client : {&sender, &bystander}) {
        EXPECT_EQ(NextMessage(*client), PluginStateMessage("server", 1));
        EXPECT_EQ(NextMessage(*client), R"({"Command":5,"ServerUniqueIdentifier":"server","Parameter":)"
                                        R"({"IsConnectedToServer":false,"IsReady":false,"State":0}})");
    }
    ASSERT_EQ(Base::GameInstances().size(), 1u);
    EXPECT_EQ(Base::GameInstances()[0]->Name(), "Player");

    // A second game for the same server is turned away, and only it hears of it.
    sender.Command(R"(send {"Command":1,"Parameter":{"ServerUniqueIdentifier":"server","Name":"Other"}})");
    // The running instance pings meanwhile.
    auto answer = NextMessage(sender);
    while (answer && answer->starts_with(R"({"Command":3,)")) {
        answer = NextMessage(sender);
    }
    EXPECT_EQ(answer, AlreadyInGameAnswer);
    EXPECT_EQ(Base::GameInstances().size(), 1u);
}

} // namespace
} // namespace Tralvonic::Test
