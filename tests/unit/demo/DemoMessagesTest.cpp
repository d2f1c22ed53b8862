// The built-in game session's messages: written with the protocol's exact names, read by the
// plugin's own records as the session means them, and (through the protocol check) valid by
// the published schemas.

#include "demo/GameMessages.h"

#include "Model/BulkUpdate.h"
#include "Model/GameInstanceSettings.h"
#include "Model/MegaphoneCommunication.h"
#include "Model/PhoneCommunication.h"
#include "Model/PluginCommand.h"
#include "Model/RadioChannelMember.h"
#include "Model/RadioChannelMemberUpdate.h"
#include "Model/RadioCommunication.h"
#include "Model/RadioTower.h"
#include "Model/Sound.h"

#include <boost/json/serialize.hpp>
#include <boost/json/string.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

using namespace Tralvonic::Sim::Host::Demo;
namespace Model = Tralvonic::Model;

class DemoMessages : public testing::Test {
protected:
    // Every message a test built goes to the protocol check.
    ~DemoMessages() override {
        const char* folder = std::getenv("TRALVONIC_PROTOCOL_CAPTURE");
        if (folder == nullptr) {
            return;
        }
        std::ofstream file(std::filesystem::path(folder) /
                               ("demo-messages-" + std::to_string(getpid()) + ".jsonl"),
                           std::ios::app);
        for (const auto& message : built) {
            file << boost::json::serialize(boost::json::string(message)) << '\n';
        }
    }

    // The envelope as the plugin reads it; the message is kept for the protocol check.
    Model::PluginCommand Read(std::string message) {
        built.push_back(message);
        auto command = Model::PluginCommand::Read(message);
        EXPECT_TRUE(command) << message;
        return command.value_or(Model::PluginCommand{});
    }

    GameMessages messages{"server-uid="};
    std::vector<std::string> built;
};

TEST_F(DemoMessages, InitiateNamesItsServerInTheParameterAndAsksForEveryReport) {
    const std::string text = GameMessages::Initiate({"server-uid=", 2, "Hero", {3}, true, true});
    EXPECT_EQ(
        text,
        R"({"Command":1,"ServerUniqueIdentifier":null,"Parameter":{"ServerUniqueIdentifier":"server-uid=",)"
        R"("ChannelId":2,"Name":"Hero","SwissChannelIds":[3],"SendTalkStates":true,)"
        R"("SendRadioTrafficStates":true}})");
    const auto settings = Read(text).ConvertParameter<Model::GameInstanceSettings>();
    EXPECT_EQ(settings.ServerUniqueIdentifier, "server-uid=");
    EXPECT_EQ(settings.Name, "Hero");
    EXPECT_TRUE(settings.SendRadioTrafficStates);
}

TEST_F(DemoMessages, PlayerUpdatesCarryPositionsRangesAndTheHeading) {
    const SelfState self{{1, 2, 0}, 90, 8, true};
    const std::vector<PlayerState> players{{"Bob", {3, 4, 0}, 10, true}, {"Carl", {-6, 0, 1}, 8, false}};
    const std::string text = messages.BulkUpdate(self, players);
    EXPECT_TRUE(text.starts_with(
        R"({"Command":9,"ServerUniqueIdentifier":"server-uid=","Parameter":{"PlayerStates":[{"Name":"Bob",)"
        R"("Position":{"X":3,"Y":4,"Z":0},"VoiceRange":10,"IsAlive":true,"VolumeOverride":null,)"))
        << text;
    const auto command = Read(text);
    EXPECT_EQ(command.ServerUniqueIdentifier, "server-uid=");
    const auto bulk = command.ConvertParameter<Model::BulkUpdate>();
    ASSERT_EQ(bulk.PlayerStates.size(), 2u);
    EXPECT_EQ(bulk.PlayerStates[1].Name, "Carl");
    EXPECT_EQ(bulk.PlayerStates[1].Position->Z, 1.0f);
    EXPECT_FALSE(bulk.PlayerStates[1].IsAlive);
    ASSERT_TRUE(bulk.SelfState);
    EXPECT_EQ(bulk.SelfState->Rotation, 90.0f);
    EXPECT_EQ(bulk.SelfState->Position.Y, 2.0f);

    EXPECT_EQ(Read(messages.SelfStateUpdate(self)).ConvertParameter<Model::SelfState>().VoiceRange, 8.0f);
    EXPECT_EQ(Read(messages.PlayerStateUpdate(players[0])).ConvertParameter<Model::PlayerState>().VoiceRange,
              10.0f);
    EXPECT_EQ(messages.RemovePlayer("Bob"),
              R"({"Command":10,"ServerUniqueIdentifier":"server-uid=","Parameter":{"Name":"Bob"}})");
    Read(messages.RemovePlayer("Bob"));
    EXPECT_EQ(Read(messages.Pong()).Command, Model::Command::Pong);
    EXPECT_EQ(Read(messages.Ping()).Command, Model::Command::Ping);
}

TEST_F(DemoMessages, RadioMessagesCarryTheFlagSetsTowersAndMembers) {
    const RadioCommunication radio{"Carl", LongRange | Distributed, LongRange, true, true, true, {"Alice"}};
    const auto update = Read(messages.RadioCommunicationUpdate(radio));
    EXPECT_EQ(update.Command, Model::Command::RadioCommunicationUpdate);
    const auto read = update.ConvertParameter<Model::RadioCommunication>();
    EXPECT_EQ(read.SenderRadioType, Model::RadioType::LongRange | Model::RadioType::Distributed);
    EXPECT_EQ(read.OwnRadioType, Model::RadioType::LongRange);
    EXPECT_TRUE(read.Secondary);
    EXPECT_EQ(read.RelayedBy, std::vector<std::string>{"Alice"});
    EXPECT_FALSE(read.Volume);
    EXPECT_EQ(Read(messages.StopRadioCommunication(radio)).Command, Model::Command::StopRadioCommunication);

    const auto towers = Read(messages.RadioTowerUpdate({{{30, 30, 0}, 8000}, {{-5, 0, 2}, 1000}}))
                            .ConvertParameter<Model::RadioTower>();
    ASSERT_TRUE(towers.Towers);
    ASSERT_EQ(towers.Towers->size(), 2u);
    EXPECT_EQ((*towers.Towers)[1].Z, 2.0f);
    EXPECT_EQ((*towers.Towers)[1].Range, 1000.0f);

    const auto members = Read(messages.UpdateRadioChannelMembers({"Bob", "Carl"}, true))
                             .ConvertParameter<Model::RadioChannelMemberUpdate>();
    EXPECT_EQ(members.PlayerNames, (std::optional<std::vector<std::string>>{{"Bob", "Carl"}}));
    EXPECT_TRUE(members.IsPrimaryChannel);
    const auto added = Read(messages.AddRadioChannelMember("Alice", false));
    EXPECT_EQ(added.Command, Model::Command::AddRadioChannelMember);
    EXPECT_FALSE(added.ConvertParameter<Model::RadioChannelMember>().IsPrimaryChannel);
    EXPECT_EQ(Read(messages.RemoveRadioChannelMember("Alice", true))
                  .ConvertParameter<Model::RadioChannelMember>()
                  .PlayerName,
              "Alice");
}

TEST_F(DemoMessages, CallsMegaphonesAndSoundsAsTheGameMeansThem) {
    const auto call = Read(messages.PhoneCommunicationUpdate({"Carl", 18, true, {}}))
                          .ConvertParameter<Model::PhoneCommunication>();
    EXPECT_EQ(call.SignalStrength, 18);
    EXPECT_TRUE(call.Direct);
    EXPECT_TRUE(call.RelayedBy.empty());
    EXPECT_EQ(Read(messages.StopPhoneCommunication("Carl")).Command, Model::Command::StopPhoneCommunication);

    const auto megaphone = Read(messages.MegaphoneCommunicationUpdate({"Hero", 80}))
                               .ConvertParameter<Model::MegaphoneCommunication>();
    EXPECT_EQ(megaphone.Range, 80.0f);
    EXPECT_FALSE(megaphone.Volume);
    // A stop with range 0 ends the megaphone whichever of the two the plugin goes by.
    const auto stop = Read(messages.StopMegaphoneCommunication("Hero"));
    EXPECT_EQ(stop.Command, Model::Command::StopMegaphoneCommunication);
    EXPECT_EQ(stop.ConvertParameter<Model::MegaphoneCommunication>().Range, 0.0f);

    const Sound alarm{"onSecMicClick", true, "alarm"};
    const auto played = Read(messages.PlaySound(alarm)).ConvertParameter<Model::Sound>();
    EXPECT_EQ(played.Filename, "onSecMicClick");
    EXPECT_TRUE(played.IsLoop);
    EXPECT_EQ(played.Handle, "alarm");
    EXPECT_EQ(Read(messages.StopSound(alarm)).Command, Model::Command::StopSound);
}

} // namespace
