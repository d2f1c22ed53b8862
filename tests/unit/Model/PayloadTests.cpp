// The payload records as the game sends them: keys in any letter case, defaults for missing
// keys, the null rules of each record, and reader and writer agreeing on every description.

#include "Model/BulkUpdate.h"
#include "Model/GameInstanceSettings.h"
#include "Model/MegaphoneCommunication.h"
#include "Model/PhoneCommunication.h"
#include "Model/PlayerState.h"
#include "Model/PluginCommand.h"
#include "Model/RadioChannelMember.h"
#include "Model/RadioChannelMemberUpdate.h"
#include "Model/RadioCommunication.h"
#include "Model/RadioTower.h"
#include "Model/SelfState.h"
#include "Model/Sound.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace Tralvonic::Model;
using TeamSpeak::TSVector;

// The parameter of a message from the game, read as the dispatch reads it.
template <class Record> Record Receive(std::string_view parameter) {
    const auto command = PluginCommand::Read(R"({"Command":8,"Parameter":)" + std::string(parameter) + "}");
    if (!command)
        throw std::runtime_error("no envelope");
    return command->ConvertParameter<Record>();
}

// Through an envelope and back, as if the plugin had sent the record to itself.
template <class Record> Record RoundTrip(const Record& record) {
    const PluginCommand sent(Command::PluginState, "srv", record);
    return PluginCommand::Read(sent.ToJson())->ConvertParameter<Record>();
}

TEST(PlayerStateRecord, KeysInAnyCaseAndDefaults) {
    auto player = Receive<PlayerState>(R"({"name":"Bob","POSITION":{"x":1,"Y":2.5,"z":-3},"voiceRange":8})");
    EXPECT_EQ(player.Name, "Bob");
    EXPECT_EQ(player.Position, TSVector(1.0f, 2.5f, -3.0f));
    EXPECT_EQ(player.VoiceRange, 8.0f);
    EXPECT_TRUE(player.IsAlive);
    EXPECT_EQ(player.VolumeOverride, std::nullopt);
    EXPECT_FALSE(player.DistanceCulled);
    EXPECT_EQ(player.Muffle, std::nullopt);

    player = Receive<PlayerState>(R"({"Name":null,"Position":null,"VolumeOverride":null,"Muffle":{}})");
    EXPECT_EQ(player.Name, "");
    EXPECT_EQ(player.Position, std::nullopt);
    EXPECT_EQ(player.VolumeOverride, std::nullopt);
    EXPECT_EQ(player.Muffle, MuffleEffect{10});

    EXPECT_THROW(Receive<PlayerState>(R"({"Muffle":{"Intensity":2.5}})"), JsonError);
    EXPECT_THROW(Receive<PlayerState>(R"({"IsAlive":"yes"})"), JsonError);
    EXPECT_THROW(Receive<PlayerState>(R"({"Position":[1,2,3]})"), JsonError);
}

TEST(SelfStateRecord, DefaultsAndEcho) {
    EXPECT_EQ(Receive<SelfState>("{}"), SelfState{});
    const auto self = Receive<SelfState>(R"({"echo":{"rolloff":0.5}})");
    ASSERT_TRUE(self.Echo.has_value());
    EXPECT_EQ(self.Echo->Duration, 100);
    EXPECT_EQ(self.Echo->Rolloff, 0.5f);
    EXPECT_EQ(self.Echo->Delay, 25);
    // A position cannot be null: there is no "none" for the user himself.
    EXPECT_THROW(Receive<SelfState>(R"({"Position":null})"), JsonError);
}

TEST(BulkUpdateRecord, PlayersInOrderAndAnOptionalSelfState) {
    const auto bulk = Receive<BulkUpdate>(
        R"({"playerStates":[{"Name":"A","VoiceRange":3},{"Name":"B","IsAlive":false}],"SelfState":{"Rotation":90}})");
    ASSERT_EQ(bulk.PlayerStates.size(), 2u);
    EXPECT_EQ(bulk.PlayerStates[0].Name, "A");
    EXPECT_EQ(bulk.PlayerStates[0].VoiceRange, 3.0f);
    EXPECT_FALSE(bulk.PlayerStates[1].IsAlive);
    ASSERT_TRUE(bulk.SelfState.has_value());
    EXPECT_EQ(bulk.SelfState->Rotation, 90.0f);

    EXPECT_EQ(Receive<BulkUpdate>(R"({"PlayerStates":[{"Name":"A"}]})").SelfState, std::nullopt);
    EXPECT_EQ(Receive<BulkUpdate>(R"({"PlayerStates":null,"SelfState":null})"), BulkUpdate{});
    try {
        Receive<BulkUpdate>(R"({"PlayerStates":[{},{"VoiceRange":"x"}]})");
        FAIL() << "a mistyped element was accepted";
    } catch (const JsonError& error) {
        EXPECT_EQ(error.Path(), "Parameter.PlayerStates[1].VoiceRange");
    }
}

TEST(RadioRecords, TypesAsFlagSetsNumbersOrNames) {
    auto radio = Receive<RadioCommunication>(
        R"({"Name":"Bob","SenderRadioType":12,"ownradiotype":"longrange","Volume":0.8,"Secondary":true,"RelayedBy":["C"]})");
    EXPECT_TRUE(HasFlag(radio.SenderRadioType, RadioType::Distributed));
    EXPECT_TRUE(HasFlag(radio.SenderRadioType, RadioType::LongRange));
    EXPECT_FALSE(HasFlag(radio.SenderRadioType, RadioType::ShortRange));
    EXPECT_EQ(radio.OwnRadioType, RadioType::LongRange);
    EXPECT_EQ(radio.Volume, 0.8f);
    EXPECT_FALSE(radio.PlayMicClick);
    EXPECT_FALSE(radio.Direct);
    EXPECT_TRUE(radio.Secondary);
    EXPECT_EQ(radio.RelayedBy, std::vector<std::string>{"C"});

    radio = Receive<RadioCommunication>(R"({"Name":"Bob","RelayedBy":null})");
    EXPECT_TRUE(radio.RelayedBy.empty());
    EXPECT_EQ(radio.Volume, std::nullopt);
    // No flag at all until the game names one: not even None.
    EXPECT_FALSE(HasFlag(radio.SenderRadioType, RadioType::None));
    EXPECT_TRUE(HasFlag(RadioType::None | RadioType::ShortRange, RadioType::None));

    const auto towers = Receive<RadioTower>(R"({"towers":[{"X":1,"Y":2,"Z":3},{"x":4,"range":1000}]})");
    ASSERT_TRUE(towers.Towers.has_value());
    ASSERT_EQ(towers.Towers->size(), 2u);
    EXPECT_EQ((*towers.Towers)[0].Position(), TSVector(1.0f, 2.0f, 3.0f));
    EXPECT_EQ((*towers.Towers)[0].Range, 8000.0f);
    EXPECT_EQ((*towers.Towers)[1].Range, 1000.0f);
    // A missing list stays told apart from an empty one, so the handler can report it.
    EXPECT_FALSE(Receive<RadioTower>("{}").Towers.has_value());
    EXPECT_FALSE(Receive<RadioTower>(R"({"Towers":null})").Towers.has_value());

    EXPECT_EQ(Receive<RadioChannelMember>(R"({"playerName":"A","isPrimaryChannel":true})"),
              (RadioChannelMember{"A", true}));
    EXPECT_EQ(Receive<RadioChannelMemberUpdate>(R"({"PlayerNames":["A","B","A"]})"),
              (RadioChannelMemberUpdate{std::vector<std::string>{"A", "B", "A"}, false}));
    EXPECT_FALSE(Receive<RadioChannelMemberUpdate>(R"({"IsPrimaryChannel":true})").PlayerNames.has_value());
    EXPECT_THROW(Receive<RadioChannelMemberUpdate>(R"({"PlayerNames":"A"})"), JsonError);
}

TEST(PhoneAndMegaphoneRecords, OptionalValuesStayAbsent) {
    auto phone = Receive<PhoneCommunication>(R"({"Name":"Bob","signalStrength":-3,"Direct":true})");
    EXPECT_EQ(phone.SignalStrength, -3);
    EXPECT_EQ(phone.Volume, std::nullopt);
    EXPECT_TRUE(phone.Direct);
    EXPECT_TRUE(phone.RelayedBy.empty());
    // Without a signal strength the update ends the call, so absence must survive reading.
    EXPECT_EQ(Receive<PhoneCommunication>(R"({"Name":"Bob","SignalStrength":null})").SignalStrength,
              std::nullopt);
    EXPECT_THROW(Receive<PhoneCommunication>(R"({"SignalStrength":2.5})"), JsonError);

    const auto megaphone = Receive<MegaphoneCommunication>(R"({"name":"Bob","volume":2.0})");
    EXPECT_EQ(megaphone.Range, 0.0f);
    EXPECT_EQ(megaphone.Volume, 2.0f);
}

TEST(SoundRecord, NullTextReadsAsBlank) {
    EXPECT_EQ(Receive<Sound>(R"({"filename":"click","isLoop":true,"Handle":null})"),
              (Sound{"click", true, ""}));
}

TEST(PayloadRecords, WhatIsWrittenReadsBackUnchanged) {
    const PlayerState player{"Bob", TSVector(0.1f, -2.0f, 1e-3f), 12.5f, false, 1.6f, true, MuffleEffect{0}};
    EXPECT_EQ(RoundTrip(player), player);
    const SelfState self{TSVector(1.0f, 2.0f, 3.0f), 359.9f, 7.0f, false, EchoEffect{50, 0.75f, 10}};
    EXPECT_EQ(RoundTrip(BulkUpdate{{player, PlayerState{}}, self}),
              (BulkUpdate{{player, PlayerState{}}, self}));
    const RadioCommunication radio{"R",
                                   RadioType::Distributed | RadioType::UltraShortRange,
                                   RadioType::ShortRange,
                                   true,
                                   0.3f,
                                   true,
                                   true,
                                   {"A", "B"}};
    EXPECT_EQ(RoundTrip(radio), radio);
    const PhoneCommunication phone{"P", 20, 1.25f, false, {"X"}};
    EXPECT_EQ(RoundTrip(phone), phone);
    const RadioTower towers{std::vector<Tower>{Tower{1.5f, 2.5f, 3.5f, 900.0f}, Tower{}}};
    EXPECT_EQ(RoundTrip(towers), towers);
}

TEST(GameInstanceSettingsRecord, DefaultsAndNullRules) {
    const auto settings = Receive<GameInstanceSettings>(
        R"({"ServerUniqueIdentifier":null,"ChannelPassword":null,"Name":null,"SoundPack":null,"SwissChannelIds":null})");
    EXPECT_EQ(settings.ServerUniqueIdentifier, std::nullopt);
    EXPECT_EQ(settings.ChannelPassword, "");
    EXPECT_EQ(settings.Name, std::nullopt);
    EXPECT_EQ(settings.SoundPack, "default");
    EXPECT_TRUE(settings.SwissChannelIds.empty());
    EXPECT_EQ(Receive<GameInstanceSettings>(R"({"SoundPack":""})").SoundPack, "");
}

TEST(GameInstanceSettingsRecord, ReadsTheGamesKeys) {
    const auto settings = Receive<GameInstanceSettings>(
        R"({"serverUniqueIdentifier":"abc=","ChannelId":18446744073709551615,"channelPassword":"pw","Name":"Bob",)"
        R"("SoundPack":"pack","SwissChannelIds":[3,4],"SendTalkStates":false,"SendRadioTrafficStates":true,)"
        R"("UltraShortRangeDistance":100,"ShortRangeDistance":200,"LongRangeDistace":300,"Unknown":{}})");
    EXPECT_EQ(settings.ServerUniqueIdentifier, "abc=");
    EXPECT_EQ(settings.ChannelId, UINT64_MAX);
    EXPECT_EQ(settings.ChannelPassword, "pw");
    EXPECT_EQ(settings.Name, "Bob");
    EXPECT_EQ(settings.SoundPack, "pack");
    EXPECT_EQ(settings.SwissChannelIds, (std::vector<std::uint64_t>{3, 4}));
    EXPECT_FALSE(settings.SendTalkStates);
    EXPECT_TRUE(settings.SendRadioTrafficStates);
    EXPECT_EQ(settings.UltraShortRangeDistance, 100.0f);
    EXPECT_EQ(settings.ShortRangeDistance, 200.0f);
    EXPECT_EQ(settings.LongRangeDistace, 300.0f);
    // The correctly spelled key is not the game's and is ignored.
    EXPECT_EQ(Receive<GameInstanceSettings>(R"({"LongRangeDistance":5})").LongRangeDistace, 8000.0f);
    EXPECT_THROW(Receive<GameInstanceSettings>(R"({"ChannelId":-1})"), JsonError);
    EXPECT_THROW(Receive<GameInstanceSettings>(R"({"SwissChannelIds":[1,"2"]})"), JsonError);
    EXPECT_THROW(Receive<GameInstanceSettings>(R"({"SendTalkStates":null})"), JsonError);
}

} // namespace
