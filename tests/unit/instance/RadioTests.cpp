// Radio transmissions as the game sends them: what the game is told back (errors, traffic
// states), what the host sees (whisper lists, unmutes, voice activation and push-to-talk)
// and what the effect library is handed, for the user's own and other players' radios.

#include "unit/instance/Broadcasts.h"
#include "unit/instance/EffectCalls.h"
#include "unit/instance/IngameFixture.h"

#include "TeamSpeak/sdk/HostEnums.h"

namespace Tralvonic::Test {
namespace {

using Model::RadioType;

class Radio : public IngameTest {
protected:
    static Model::RadioCommunication Transmission(std::string name, RadioType sender = RadioType::ShortRange,
                                                  RadioType own = RadioType::ShortRange) {
        Model::RadioCommunication radio;
        radio.Name = std::move(name);
        radio.SenderRadioType = sender;
        radio.OwnRadioType = own;
        radio.Direct = true;
        return radio;
    }

    // Anna 1000 away (in short range), Ben next to the user, both in the instance channel.
    void PlaceAnnaAndBen() {
        anna = Join("Anna");
        ben = Join("Ben");
        instance->OnPlayerStateUpdate(Player("Anna", {1000, 0, 0}, 10));
        instance->OnPlayerStateUpdate(Player("Ben", {3, 0, 0}, 10));
        instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));
    }

    // "identifier=value" for every pre-processor setting the plugin wrote.
    std::vector<std::string> PreProcessorWrites() const {
        std::vector<std::string> writes;
        for (const auto& call : sim.Calls("setPreProcessorConfigValue")) {
            writes.push_back(call.Argument(1) + "=" + call.Argument(2));
        }
        return writes;
    }

    Broadcasts broadcasts;
    anyID anna = 0;
    anyID ben = 0;
};

TEST_F(Radio, VolumesOutsideTheirRangeAreCappedAndReported) {
    StartIngame();
    auto loud = Transmission("Anna");
    loud.Volume = 2.0f;
    instance->OnRadioCommunicationUpdate(loud);
    auto quiet = Transmission("Ben");
    quiet.Volume = -0.5f;
    instance->OnRadioCommunicationUpdate(quiet);
    auto edge = Transmission("Carl");
    edge.Volume = 1.6f;
    instance->OnRadioCommunicationUpdate(edge);

    EXPECT_EQ(broadcasts.Errors(),
              (std::vector<std::string>{
                  Broadcasts::InvalidValue("RadioCommunication.Volume has to be >= 0f and <= 1.6f"),
                  Broadcasts::InvalidValue("RadioCommunication.Volume has to be >= 0f")}));
    EXPECT_TRUE(HasLogLine("A RadioCommunication had a volume of more then 1.6f, capped it."));
    EXPECT_TRUE(HasLogLine("A RadioCommunication had a volume lower then 0.0f, capped it."));
    StoredRadioCommunication stored;
    ASSERT_TRUE(instance->TryGetRadioCommunication("Anna", stored));
    EXPECT_EQ(stored.Communication.Volume, 1.6f);
    ASSERT_TRUE(instance->TryGetRadioCommunication("Ben", stored));
    EXPECT_EQ(stored.Communication.Volume, 0.0f);
    ASSERT_TRUE(instance->TryGetRadioCommunication("Carl", stored));
    EXPECT_EQ(stored.Communication.Volume, 1.6f);
}

TEST_F(Radio, OneEntryPerNameAndASwitchedOffRadioStops) {
    StartIngame();
    instance->OnRadioCommunicationUpdate(Transmission("Anna"));
    EXPECT_TRUE(HasLogLine("Added new radio com"));
    auto second = Transmission("Anna", RadioType::LongRange, RadioType::LongRange);
    second.Secondary = true;
    second.RelayedBy = {"Ben"};
    instance->OnRadioCommunicationUpdate(second);
    EXPECT_TRUE(HasLogLine("Already have a radio com for this player - updated"));
    ASSERT_EQ(instance->RadioCommunications()->size(), 1u);
    EXPECT_EQ(instance->RadioCommunications()->front().Communication, second);

    instance->OnRadioCommunicationUpdate(Transmission("Anna", RadioType::None | RadioType::ShortRange));
    EXPECT_TRUE(instance->RadioCommunications()->empty());
    EXPECT_TRUE(HasLogLine("Removed radio com"));
    instance->OnStopRadioCommunication(Transmission("Anna"));
    EXPECT_TRUE(HasLogLine("We had no radio com"));
}

TEST_F(Radio, ADirectTransmissionInRangeIsHeardUnmutedAndReportedOnceWhileItLasts) {
    sendRadioTrafficStates = true;
    StartIngame();
    EffectCalls effects("tralvonic-radio-effects");
    PlaceAnnaAndBen();
    tab.SetClientVariable(anna, TeamSpeak::CLIENT_IS_MUTED, "1");

    instance->OnRadioCommunicationUpdate(Transmission("Anna"));
    EXPECT_EQ(effects.Starting("SetRadioDistortion"),
              std::vector<std::string>{"SetRadioDistortion Anna 6.000000"});
    EXPECT_EQ(sim.CallCount("requestUnmuteClients"), 1u);
    EXPECT_FALSE(tab.Client(anna).IsLocallyMuted());
    EXPECT_TRUE(Stored("Anna")->IsOnRadio());
    ASSERT_EQ(instance->RadioCommunications()->size(), 1u);
    EXPECT_TRUE(instance->RadioCommunications()->front().Reception.InRange);
    EXPECT_EQ(instance->RadioCommunications()->front().Reception.Relay, nullptr);
    EXPECT_TRUE(HasLogLine("We have a successfull direct radio com, calculated distortion is 6"));

    // Later recalculations keep it on the radio without telling the game again.
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));
    EXPECT_EQ(broadcasts.Commands(33), std::vector<std::string>{Broadcasts::Traffic("Anna", true, true)});

    // Out of range: one report of the end.
    instance->OnPlayerStateUpdate(Player("Anna", {5000, 0, 0}, 10));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));
    EXPECT_EQ(broadcasts.Commands(33), (std::vector<std::string>{Broadcasts::Traffic("Anna", true, true),
                                                                 Broadcasts::Traffic("Anna", false, true)}));
    EXPECT_FALSE(Stored("Anna")->IsOnRadio());
    EXPECT_FALSE(instance->RadioCommunications()->front().Reception.InRange);
    EXPECT_TRUE(HasLogLine("We have no direct com and the relays are null"));
}

TEST_F(Radio, ARelayTheUserHearsCarriesATransmissionOutOfHisOwnRange) {
    sendRadioTrafficStates = true;
    StartIngame();
    EffectCalls effects("tralvonic-radio-effects");
    const anyID carl = Join("Carl");
    PlaceAnnaAndBen();
    instance->OnPlayerStateUpdate(Player("Anna", {4000, 0, 0}, 10));
    instance->OnPlayerStateUpdate(Player("Carl", {2, 0, 0}, 1)); // the user cannot hear Carl
    instance->OnPlayerStateUpdate(Player("Ben", {3, 0, 0}, 10));
    (void)carl;

    auto relayed = Transmission("Anna");
    relayed.RelayedBy = {"Nobody", "Carl", "Ben"};
    instance->OnRadioCommunicationUpdate(relayed);
    // From Ben's place 3997 away: beyond short range, so still out of range.
    EXPECT_FALSE(instance->RadioCommunications()->front().Reception.InRange);
    EXPECT_TRUE(HasLogLine("No direct com and no relays in range"));

    instance->OnPlayerStateUpdate(Player("Ben", {2000, 0, 0}, 2500));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));
    const auto stored = instance->RadioCommunications()->front();
    EXPECT_TRUE(stored.Reception.InRange);
    ASSERT_NE(stored.Reception.Relay, nullptr);
    EXPECT_EQ(stored.Reception.Relay->Name(), "Ben");
    EXPECT_EQ(effects.Starting("SetRadioDistortion").back(), "SetRadioDistortion Anna 12.000000");
    EXPECT_TRUE(HasLogLine("Found a relay, since we don't have a direct com"));
    EXPECT_EQ(broadcasts.Commands(33),
              std::vector<std::string>{Broadcasts::Traffic("Anna", true, true, "Ben")});

    // The stop names the relay the game last heard it through.
    instance->OnStopRadioCommunication(relayed);
    EXPECT_EQ(broadcasts.Commands(33).back(), Broadcasts::Traffic("Anna", false, true, "Ben"));
    EXPECT_FALSE(Stored("Anna")->IsOnRadio());
}

TEST_F(Radio, TheUsersTransmissionWhispersToTheMembersOfItsChannel) {
    StartIngame();
    PlaceAnnaAndBen();
    const anyID carl = Join("Carl");
    instance->OnUpdateRadioChannelMembers({std::vector<std::string>{"Anna", "Carl", "Anna"}, true});
    instance->OnAddRadioChannelMember({"Anna", false});
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));
    EXPECT_EQ(WhisperClients(), std::vector<anyID>{ben});

    instance->OnRadioCommunicationUpdate(Transmission("Player"));
    // Members first, each once, then the players in voice range.
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{anna, carl, ben}));

    auto secondary = Transmission("Player");
    secondary.Secondary = true;
    instance->OnRadioCommunicationUpdate(secondary);
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{anna, ben}));

    instance->OnStopRadioCommunication(secondary);
    EXPECT_EQ(WhisperClients(), std::vector<anyID>{ben});
}

TEST_F(Radio, VoiceActivationIsSwitchedOffForAnOwnTransmissionAndBackOnAtItsEnd) {
    tab.SetPreProcessorValue("vad", "True");
    StartIngame();

    instance->OnRadioCommunicationUpdate(Transmission("Player"));
    EXPECT_EQ(tab.PreProcessorValue("vad"), "false");
    EXPECT_EQ(instance->MicMode(), MicMode::VoiceActivityDetection);
    EXPECT_TRUE(HasLogLine("VAD: Disabled"));
    // A second update during the transmission keeps what is to be restored.
    instance->OnRadioCommunicationUpdate(Transmission("Player"));
    EXPECT_EQ(instance->MicMode(), MicMode::VoiceActivityDetection);

    instance->OnStopRadioCommunication(Transmission("Player"));
    EXPECT_EQ(PreProcessorWrites(), (std::vector<std::string>{"vad=false", "vad=true"}));
    EXPECT_EQ(instance->MicMode(), MicMode::ContinuousTransmission);
    EXPECT_TRUE(HasLogLine("VAD: Enabled"));
    EXPECT_TRUE(broadcasts.Commands(33).empty());
}

TEST_F(Radio, PushToTalkInputIsActivatedForAnOwnTransmissionAndDeactivatedAtItsEnd) {
    sendRadioTrafficStates = true;
    tab.SetClientVariable(me, TeamSpeak::CLIENT_INPUT_HARDWARE, "1");
    tab.SetClientVariable(me, TeamSpeak::CLIENT_INPUT_DEACTIVATED, "1");
    StartIngame();
    ASSERT_FALSE(instance->IsMicrophoneEnabled());

    auto own = Transmission("Player");
    own.Secondary = true;
    instance->OnRadioCommunicationUpdate(own);
    EXPECT_EQ(instance->MicMode(), MicMode::PushToTalk);
    EXPECT_TRUE(HasLogLine("PTT: Input Enabled"));
    ASSERT_TRUE(sim.WaitFor([&] { return !tab.Own().IsInputDeactivated(); }));

    instance->OnStopRadioCommunication(own);
    EXPECT_TRUE(HasLogLine("PTT: Input disabled"));
    ASSERT_TRUE(sim.WaitFor([&] { return tab.Own().IsInputDeactivated(); }));
    std::vector<std::string> writes;
    for (const auto& call : sim.Calls("setClientSelfVariableAsInt")) {
        writes.push_back(call.Argument(1) + "=" + call.Argument(2));
    }
    const std::string deactivated = std::to_string(TeamSpeak::CLIENT_INPUT_DEACTIVATED);
    EXPECT_EQ(writes, (std::vector<std::string>{deactivated + "=0", deactivated + "=1"}));
    EXPECT_EQ(sim.CallCount("flushClientSelfUpdates"), 2u);
    EXPECT_EQ(broadcasts.Commands(33),
              (std::vector<std::string>{Broadcasts::Traffic("Player", true, false),
                                        Broadcasts::Traffic("Player", false, false)}));
}

TEST_F(Radio, AResetDuringAnOwnTransmissionSwitchesVoiceActivationBackOn) {
    tab.SetPreProcessorValue("vad", "true");
    StartIngame();
    instance->OnRadioCommunicationUpdate(Transmission("Player"));
    ASSERT_EQ(tab.PreProcessorValue("vad"), "false");

    instance->Reset(false, false);
    EXPECT_EQ(tab.PreProcessorValue("vad"), "true");
    EXPECT_EQ(instance->MicMode(), MicMode::ContinuousTransmission);
}

} // namespace
} // namespace Tralvonic::Test
