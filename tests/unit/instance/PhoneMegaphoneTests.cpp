// Phone calls and megaphones: the caps and refusals the game is told of, calls heard directly
// or through the nearest relay, and how both shape 3D positions and the whisper list.

#include "unit/instance/Broadcasts.h"
#include "unit/instance/EffectCalls.h"
#include "unit/instance/IngameFixture.h"

#include "TeamSpeak/sdk/HostEnums.h"

namespace Tralvonic::Test {
namespace {

class PhoneAndMegaphone : public IngameTest {
protected:
    static Model::PhoneCommunication Call(std::string name, std::optional<std::int32_t> signalStrength = 20,
                                          bool direct = true) {
        Model::PhoneCommunication phone;
        phone.Name = std::move(name);
        phone.SignalStrength = signalStrength;
        phone.Direct = direct;
        return phone;
    }

    static Model::MegaphoneCommunication Megaphone(std::string name, float range,
                                                   std::optional<float> volume = std::nullopt) {
        return Model::MegaphoneCommunication{std::move(name), range, volume};
    }

    std::optional<Model::PhoneCommunication> StoredCall(const std::string& name) const {
        StoredPhoneCommunication stored;
        if (!instance->TryGetPhoneCommunication(name, stored)) {
            return std::nullopt;
        }
        return stored.Communication;
    }

    Broadcasts broadcasts;
};

TEST_F(PhoneAndMegaphone, PhoneValuesOutsideTheirRangeAreCappedAndReported) {
    StartIngame();
    auto strong = Call("Anna", 25);
    strong.Volume = 2.0f;
    instance->OnPhoneCommunicationUpdate(strong);
    auto weak = Call("Ben", -3);
    weak.Volume = -1.0f;
    instance->OnPhoneCommunicationUpdate(weak);
    instance->OnPhoneCommunicationUpdate(Call("Carl", 20));

    EXPECT_EQ(broadcasts.Errors(),
              (std::vector<std::string>{
                  Broadcasts::InvalidValue("PhoneCommunication.Volume has to be >= 0f and <= 1.6f"),
                  Broadcasts::InvalidValue("PhoneCommunication.SignalStrength has to be <= 20"),
                  Broadcasts::InvalidValue("PhoneCommunication.Volume has to be >= 0f"),
                  Broadcasts::InvalidValue("PhoneCommunication.SignalStrength has to be >= 0")}));
    for (const char* warning : {"A PhoneCommunication had a volume of more then 1.6f, capped it.",
                                "A PhoneCommunication had a signal strength of more then 20, capped it.",
                                "A PhoneCommunication had a volume lower then 0.0f, capped it.",
                                "A PhoneCommunication had a signal strength lower then 0, capped it."}) {
        EXPECT_TRUE(HasLogLine(warning)) << warning;
    }
    EXPECT_EQ(StoredCall("Anna")->SignalStrength, 20);
    EXPECT_EQ(StoredCall("Anna")->Volume, 1.6f);
    EXPECT_EQ(StoredCall("Ben")->SignalStrength, 0);
    EXPECT_EQ(StoredCall("Ben")->Volume, 0.0f);
}

TEST_F(PhoneAndMegaphone, ACallIsUpdatedInPlaceAndEndsWithoutASignal) {
    StartIngame();
    EffectCalls effects("tralvonic-phone-effects");
    Join("Anna");
    instance->OnPlayerStateUpdate(Player("Anna", {500, 0, 0}, 10));
    instance->OnPhoneCommunicationUpdate(Call("Anna", 20));
    EXPECT_TRUE(Stored("Anna")->IsOnPhone());
    instance->OnPhoneCommunicationUpdate(Call("Anna", 7));
    ASSERT_EQ(instance->PhoneCommunications()->size(), 1u);
    EXPECT_EQ(StoredCall("Anna")->SignalStrength, 7);
    // The library receives the signal strength itself, 20 being a full signal.
    EXPECT_EQ(
        effects.Starting("SetPhoneDistortion"),
        (std::vector<std::string>{"SetPhoneDistortion Anna 20.000000", "SetPhoneDistortion Anna 7.000000"}));

    instance->OnPhoneCommunicationUpdate(Call("Anna", std::nullopt));
    EXPECT_TRUE(instance->PhoneCommunications()->empty());
    EXPECT_FALSE(Stored("Anna")->IsOnPhone());
}

TEST_F(PhoneAndMegaphone, ADirectPartnerInVoiceRangeIsWhisperedToTwice) {
    StartIngame();
    const anyID anna = Join("Anna");
    const anyID ben = Join("Ben");
    instance->OnPlayerStateUpdate(Player("Anna", {2, 0, 0}, 10));
    instance->OnPlayerStateUpdate(Player("Ben", {900, 0, 0}, 10));
    tab.SetClientVariable(ben, TeamSpeak::CLIENT_IS_MUTED, "1");
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));
    EXPECT_EQ(WhisperClients(), std::vector<anyID>{anna});

    instance->OnPhoneCommunicationUpdate(Call("Ben"));
    instance->OnPhoneCommunicationUpdate(Call("Anna"));
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{ben, anna, anna}));
    EXPECT_FALSE(tab.Client(ben).IsLocallyMuted());

    instance->OnStopPhoneCommunication(Call("Ben"));
    EXPECT_EQ(WhisperClients(), (std::vector<anyID>{anna, anna}));
    EXPECT_FALSE(Stored("Ben")->IsOnPhone());
}

TEST_F(PhoneAndMegaphone, TheNearestRelayTheUserHearsCarriesACall) {
    StartIngame();
    Join("Anna");
    Join("Near");
    Join("Far");
    Join("Deaf");
    instance->OnPlayerStateUpdate(Player("Anna", {5000, 0, 0}, 10));
    instance->OnPlayerStateUpdate(Player("Far", {6, 0, 0}, 10));
    instance->OnPlayerStateUpdate(Player("Near", {0, 4, 0}, 10));
    instance->OnPlayerStateUpdate(Player("Deaf", {1, 0, 0}, 0.5f));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));

    auto relayed = Call("Anna", 12, false);
    relayed.RelayedBy = {"Far", "Deaf", "Near"};
    instance->OnPhoneCommunicationUpdate(relayed);
    auto stored = instance->PhoneCommunications()->front();
    ASSERT_NE(stored.Reception.Relay, nullptr);
    EXPECT_EQ(stored.Reception.Relay->Name(), "Near");
    EXPECT_TRUE(Stored("Anna")->IsOnPhone());

    // Nobody the user can hear: the call is not heard.
    relayed.RelayedBy = {"Deaf"};
    instance->OnPhoneCommunicationUpdate(relayed);
    stored = instance->PhoneCommunications()->front();
    EXPECT_EQ(stored.Reception.Relay, nullptr);
    EXPECT_FALSE(Stored("Anna")->IsOnPhone());
}

TEST_F(PhoneAndMegaphone, AMegaphoneCarriesAPlayerBeyondHisVoiceRange) {
    StartIngame();
    const anyID anna = Join("Anna");
    instance->OnPlayerStateUpdate(Player("Anna", {0, 20, 0}, 10));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));
    EXPECT_FALSE(tab.PositionOf(anna).has_value());
    ExpectVector(Stored("Anna")->PositionOffset(), {0, 0, 0});

    instance->OnMegaphoneCommunicationUpdate(Megaphone("Anna", 30));
    // Positioned at twice the 10 units his own range would map to.
    ExpectVector(tab.PositionOf(anna), {0, 20, 0});
    ASSERT_EQ(instance->MegaphoneCommunications()->size(), 1u);

    instance->OnMegaphoneCommunicationUpdate(Megaphone("Anna", 0));
    EXPECT_TRUE(instance->MegaphoneCommunications()->empty());
    instance->OnPlayerStateUpdate(Player("Anna", {0, 25, 0}, 10));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));
    ExpectVector(tab.PositionOf(anna), {0, 20, 0});
    ExpectVector(Stored("Anna")->PositionOffset(), {0, 0, 0});
}

TEST_F(PhoneAndMegaphone, TheOwnMegaphoneWidensWhoHearsTheUserAndIsNeverListed) {
    StartIngame();
    const anyID anna = Join("Anna");
    instance->OnPlayerStateUpdate(Player("Anna", {20, 0, 0}, 10));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 5));
    EXPECT_EQ(WhisperClients(), std::vector<anyID>{});

    instance->OnMegaphoneCommunicationUpdate(Megaphone("Player", 25, 1.2f));
    EXPECT_EQ(WhisperClients(), std::vector<anyID>{anna});
    EXPECT_TRUE(instance->MegaphoneCommunications()->empty());
    ASSERT_TRUE(instance->OwnState().MegaphoneCommunication().has_value());
    EXPECT_EQ(instance->OwnState().MegaphoneCommunication()->Volume, 1.2f);

    instance->OnStopMegaphoneCommunication(Megaphone("Player", 0));
    EXPECT_FALSE(instance->OwnState().MegaphoneCommunication().has_value());
    EXPECT_EQ(WhisperClients(), std::vector<anyID>{});
}

TEST_F(PhoneAndMegaphone, AMegaphoneVolumeOutsideItsRangeIsRefusedWhole) {
    StartIngame();
    instance->OnMegaphoneCommunicationUpdate(Megaphone("Anna", 30, 1.0f));
    instance->OnMegaphoneCommunicationUpdate(Megaphone("Anna", 50, 2.0f));
    instance->OnMegaphoneCommunicationUpdate(Megaphone("Anna", 0, -0.1f));

    const auto error = Broadcasts::InvalidValue("MegaphoneCommunication.Volume has to be >= 0f and <= 1.6f");
    EXPECT_EQ(broadcasts.Errors(), (std::vector<std::string>{error, error}));
    ASSERT_EQ(instance->MegaphoneCommunications()->size(), 1u);
    EXPECT_EQ(instance->MegaphoneCommunications()->front().Communication, Megaphone("Anna", 30, 1.0f));
}

TEST_F(PhoneAndMegaphone, RemovingAPlayerEndsHisCommunicationsAndMemberships) {
    StartIngame();
    instance->OnPlayerStateUpdate(Player("Anna", {1, 0, 0}, 10));
    instance->OnPhoneCommunicationUpdate(Call("Anna"));
    instance->OnMegaphoneCommunicationUpdate(Megaphone("Anna", 30));
    Model::RadioCommunication radio;
    radio.Name = "Anna";
    radio.SenderRadioType = Model::RadioType::ShortRange;
    radio.OwnRadioType = Model::RadioType::ShortRange;
    instance->OnRadioCommunicationUpdate(radio);
    instance->OnUpdateRadioChannelMembers({std::vector<std::string>{"Anna", "Ben", "Anna"}, true});
    instance->OnAddRadioChannelMember({"Anna", false});

    instance->OnPlayerRemove(Player("Anna", {}, 0));

    EXPECT_TRUE(instance->PhoneCommunications()->empty());
    EXPECT_TRUE(instance->MegaphoneCommunications()->empty());
    EXPECT_TRUE(instance->RadioCommunications()->empty());
    EXPECT_EQ(*instance->PrimaryRadioChannelMembers(), std::vector<std::string>{"Ben"});
    EXPECT_TRUE(instance->SecondaryRadioChannelMembers()->empty());
    std::shared_ptr<PlayerState> removed;
    EXPECT_FALSE(instance->TryGetPlayerState("Anna", removed));
}

} // namespace
} // namespace Tralvonic::Test
