// The game protocol's envelope and the records the plugin writes: exact texts, because the
// game parses them.

#include "Model/InstanceState.h"
#include "Model/PlayerState.h"
#include "Model/PluginCommand.h"
#include "Model/PluginError.h"
#include "Model/PluginState.h"
#include "Model/RadioTrafficState.h"
#include "Model/SoundState.h"
#include "Model/TalkingState.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

using namespace Tralvonic::Model;

PluginCommand ReadEnvelope(std::string_view text) {
    auto command = PluginCommand::Read(text);
    if (!command)
        throw std::runtime_error("no envelope");
    return *command;
}

// The description of the failure, or "" when the text was accepted.
std::string EnvelopeFailure(std::string_view text) {
    try {
        PluginCommand::Read(text);
    } catch (const JsonError& error) {
        return error.what();
    }
    return "";
}

TEST(PluginCommand, PingWithoutParameterIsAnsweredWithPongWrittenWithNullParameter) {
    const auto ping = ReadEnvelope(R"({"Command":3,"ServerUniqueIdentifier":"abc="})");
    EXPECT_EQ(ping.Command, Command::Ping);
    EXPECT_EQ(ping.ServerUniqueIdentifier, "abc=");
    EXPECT_FALSE(ping.Parameter.has_value());

    const PluginCommand pong(Command::Pong, ping.ServerUniqueIdentifier);
    EXPECT_EQ(pong.ToJson(), R"({"Command":4,"ServerUniqueIdentifier":"abc=","Parameter":null})");
    EXPECT_EQ(PluginCommand(Command::Reset, std::nullopt).ToJson(),
              R"({"Command":2,"ServerUniqueIdentifier":null,"Parameter":null})");
}

TEST(PluginCommand, KeysMatchIgnoringCaseAndMissingKeysKeepDefaults) {
    auto command = ReadEnvelope(R"({"command":8,"serveruniqueidentifier":"s","PARAMETER":{"Name":"Bob"}})");
    EXPECT_EQ(command.Command, Command::PlayerStateUpdate);
    EXPECT_EQ(command.ServerUniqueIdentifier, "s");
    EXPECT_EQ(command.ConvertParameter<PlayerState>().Name, "Bob");

    command = ReadEnvelope(R"({"Unknown":[1,2],"Other":{"x":null}})");
    EXPECT_EQ(command.Command, Command::PluginState);
    EXPECT_EQ(command.ServerUniqueIdentifier, std::nullopt);
    EXPECT_EQ(command.Parameter, std::nullopt);
}

TEST(PluginCommand, CommandIsReadFromAnyInt32OrAMemberNameInAnyCase) {
    EXPECT_EQ(ReadEnvelope(R"({"Command":"BulkUpdate"})").Command, Command::BulkUpdate);
    EXPECT_EQ(ReadEnvelope(R"({"Command":"stopmegaphonecommunication"})").Command,
              Command::StopMegaphoneCommunication);
    EXPECT_EQ(ReadEnvelope(R"({"Command":"PING"})").Command, Command::Ping);
    // Unassigned and negative numbers arrive as sent; the dispatch refuses to execute them.
    for (std::int32_t number : {12, 17, 22, 29, 34, 36, 99, -1, INT32_MIN, INT32_MAX}) {
        const auto text = R"({"Command":)" + std::to_string(number) + "}";
        EXPECT_EQ(static_cast<std::int32_t>(ReadEnvelope(text).Command), number) << text;
    }
    EXPECT_NE(EnvelopeFailure(R"({"Command":"Pingg"})"), "");
    EXPECT_NE(EnvelopeFailure(R"({"Command":2147483648})"), "");
    EXPECT_NE(EnvelopeFailure(R"({"Command":8.5})"), "");
    EXPECT_NE(EnvelopeFailure(R"({"Command":null})"), "");
    EXPECT_NE(EnvelopeFailure(R"({"Command":true})"), "");
}

TEST(PluginCommand, ParameterMustBeAnObjectOrNull) {
    EXPECT_FALSE(ReadEnvelope(R"({"Command":3,"Parameter":null})").Parameter.has_value());
    EXPECT_TRUE(ReadEnvelope(R"({"Command":3,"Parameter":{}})").Parameter.has_value());
    EXPECT_EQ(EnvelopeFailure(R"({"Command":8,"Parameter":[{"Name":"Bob"}]})"),
              "Error reading 'Parameter': expected an object, got an array");
    EXPECT_NE(EnvelopeFailure(R"({"Command":8,"Parameter":"{}"})"), "");
    EXPECT_NE(EnvelopeFailure(R"({"Command":8,"Parameter":5})"), "");
    EXPECT_NE(EnvelopeFailure(R"({"Command":8,"Parameter":false})"), "");
    EXPECT_NE(EnvelopeFailure(R"({"Command":8,"ServerUniqueIdentifier":5})"), "");
}

TEST(PluginCommand, EmptyTextAndNullGiveNoEnvelope) {
    EXPECT_EQ(PluginCommand::Read(""), std::nullopt);
    EXPECT_EQ(PluginCommand::Read(" \r\n\t"), std::nullopt);
    EXPECT_EQ(PluginCommand::Read("null"), std::nullopt);
    EXPECT_EQ(PluginCommand::Read(" null\n"), std::nullopt);
}

TEST(PluginCommand, TextThatIsNotAnEnvelopeFailsWithADescription) {
    EXPECT_NE(EnvelopeFailure("{\"Command\":3"), "");
    EXPECT_NE(EnvelopeFailure("hello"), "");
    EXPECT_NE(EnvelopeFailure("{} {}"), "");
    EXPECT_NE(EnvelopeFailure("nul"), "");
    EXPECT_EQ(EnvelopeFailure("[]"), "expected an object, got an array");
    EXPECT_EQ(EnvelopeFailure("3"), "expected an object, got the number 3");
    EXPECT_NE(EnvelopeFailure("hello").find("not valid JSON"), std::string::npos);
}

TEST(PluginCommand, TextsLongerThanTheBoundFailTheMessageWhereverTheyStand) {
    const std::string longest(PluginCommand::MaxTextBytes, 'n');
    const std::string tooLong = longest + "n";
    const std::string refusal = "a text of 1025 bytes is longer than the 1024 bytes a message may hold";
    EXPECT_EQ(ReadEnvelope(R"({"Command":8,"Parameter":{"Name":")" + longest + R"("}})")
                  .ConvertParameter<PlayerState>()
                  .Name,
              longest);

    EXPECT_EQ(EnvelopeFailure(R"({"Command":8,"Parameter":{"Name":")" + tooLong + R"("}})"), refusal);
    EXPECT_EQ(EnvelopeFailure(R"({"Command":3,"ServerUniqueIdentifier":")" + tooLong + R"("})"), refusal);
    // Deep in a bulk's list, and as a key that no record knows.
    EXPECT_EQ(EnvelopeFailure(R"({"Command":9,"Parameter":{"PlayerStates":[{"Name":"a"},{"Name":")" +
                              tooLong + R"("}]}})"),
              refusal);
    EXPECT_EQ(EnvelopeFailure(R"({"Command":3,")" + tooLong + R"(":1})"), refusal);
}

TEST(PluginCommand, ConvertParameterFailsOnMissingNullOrMistypedParameter) {
    EXPECT_THROW(ReadEnvelope(R"({"Command":8})").ConvertParameter<PlayerState>(), JsonError);
    EXPECT_THROW(ReadEnvelope(R"({"Command":8,"Parameter":null})").ConvertParameter<PlayerState>(),
                 JsonError);
    try {
        ReadEnvelope(R"({"Command":8,"Parameter":{"Name":"Bob","voiceRange":"far"}})")
            .ConvertParameter<PlayerState>();
        FAIL() << "a string voice range was accepted";
    } catch (const JsonError& error) {
        EXPECT_EQ(error.Path(), "Parameter.VoiceRange");
    }
    // Keys the record does not have are ignored and missing ones keep the defaults.
    const auto player = ReadEnvelope(R"({"Command":8,"Parameter":{"Name":"Bob","Unknown":[]}})")
                            .ConvertParameter<PlayerState>();
    PlayerState expected;
    expected.Name = "Bob";
    EXPECT_EQ(player, expected);
}

TEST(PluginCommand, RecordParameterIsConvertedAtConstruction) {
    TalkingState talking{"Bob", true};
    const PluginCommand command(Command::TalkState, "srv", talking);
    talking.Name = "changed";
    EXPECT_EQ(command.ToJson(),
              R"({"Command":11,"ServerUniqueIdentifier":"srv","Parameter":{"Name":"Bob","IsTalking":true}})");
    // What is written reads back as the same envelope.
    EXPECT_EQ(ReadEnvelope(command.ToJson()), command);
    EXPECT_EQ(command.ConvertParameter<TalkingState>(), (TalkingState{"Bob", true}));
}

TEST(PluginError, WrittenBareWithNullsInKeyOrder) {
    EXPECT_EQ(SerializeJson(PluginError(Error::AlreadyInGame)),
              R"({"Error":3,"Message":null,"ServerIdentifier":null})");
    EXPECT_EQ(SerializeJson(PluginError(Error::InvalidJson)),
              R"({"Error":1,"Message":null,"ServerIdentifier":null})");
    // The server identifier is the second argument but the last key.
    EXPECT_EQ(
        SerializeJson(PluginError(Error::InvalidValue, "srv",
                                  "PlayerState.VolumeOverride has to be >= 0f and <= 1.6f")),
        R"({"Error":6,"Message":"PlayerState.VolumeOverride has to be >= 0f and <= 1.6f","ServerIdentifier":"srv"})");
    EXPECT_EQ(SerializeJson(PluginError(Error::ChannelNotAvailable, "srv", std::nullopt)),
              R"({"Error":4,"Message":null,"ServerIdentifier":"srv"})");
}

TEST(PluginState, CarriesTheVersionAndTheCountGiven) {
    EXPECT_EQ(SerializeJson(PluginState(1)), R"({"Version":"3.1.2","ActiveInstances":1})");
    EXPECT_EQ(
        PluginCommand(Command::PluginState, "srv", PluginState(0)).ToJson(),
        R"({"Command":0,"ServerUniqueIdentifier":"srv","Parameter":{"Version":"3.1.2","ActiveInstances":0}})");
}

TEST(InstanceState, FlagsFollowTheState) {
    EXPECT_EQ(SerializeJson(InstanceState(GameInstanceState::NotConnected)),
              R"({"IsConnectedToServer":false,"IsReady":false,"State":0})");
    EXPECT_EQ(SerializeJson(InstanceState(GameInstanceState::Connected)),
              R"({"IsConnectedToServer":true,"IsReady":false,"State":1})");
    EXPECT_EQ(SerializeJson(InstanceState(GameInstanceState::Ingame)),
              R"({"IsConnectedToServer":true,"IsReady":true,"State":2})");
    EXPECT_EQ(SerializeJson(InstanceState(GameInstanceState::InSwissChannel)),
              R"({"IsConnectedToServer":true,"IsReady":false,"State":3})");
}

TEST(OutgoingRecords, WrittenWithExactKeysAndOrder) {
    EXPECT_EQ(SerializeJson(TalkingState{"Jürgen \"J\"", false}),
              R"({"Name":"Jürgen \"J\"","IsTalking":false})");
    EXPECT_EQ(
        SerializeJson(SoundState{true, false, false, true}),
        R"({"IsMicrophoneMuted":true,"IsMicrophoneEnabled":false,"IsSoundMuted":false,"IsSoundEnabled":true})");
    // Without a relay the key is left out rather than written as null.
    EXPECT_EQ(SerializeJson(RadioTrafficState{"Bob", true, true, std::nullopt}),
              R"({"Name":"Bob","IsSending":true,"IsPrimaryChannel":true})");
    EXPECT_EQ(SerializeJson(RadioTrafficState{"Bob", false, false, "Alice"}),
              R"({"Name":"Bob","IsSending":false,"IsPrimaryChannel":false,"ActiveRelay":"Alice"})");
}

} // namespace
