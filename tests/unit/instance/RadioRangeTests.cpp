// How far a radio reaches and how distorted it arrives: the range classes of sender and
// receiver, the distortion steps (halves to even), and towers for distributed radios.

#include "unit/instance/IngameFixture.h"

namespace Tralvonic::Test {
namespace {

using Model::RadioType;
using TeamSpeak::TSVector;

class RadioRange : public IngameTest {
protected:
    void SetUp() override {
        StartIngame();
        instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));
    }

    static Model::RadioCommunication Radio(RadioType sender, RadioType own) {
        Model::RadioCommunication radio;
        radio.Name = "Anna";
        radio.SenderRadioType = sender;
        radio.OwnRadioType = own;
        return radio;
    }

    // The outcome for a sender standing `distance` away along X, as "distortion" or "out".
    std::string Reach(RadioType sender, RadioType own, float distance) const {
        const PlayerState partner(Player("Anna", {distance, 0, 0}, 10));
        float distortion = -1.0f;
        if (!instance->TryCalculateRadio(partner, Radio(sender, own), distortion)) {
            return "out";
        }
        return std::to_string(static_cast<int>(distortion));
    }

    void Towers(std::vector<Model::Tower> towers) {
        instance->OnRadioTowerUpdate(Model::RadioTower{std::move(towers)});
    }
};

TEST_F(RadioRange, UltraShortRangeStepsRoundHalvesToEven) {
    const auto usr = RadioType::UltraShortRange;
    EXPECT_EQ(Reach(usr, usr, 850), "8");
    EXPECT_EQ(Reach(usr, usr, 900), "9");
    EXPECT_EQ(Reach(usr, usr, 950), "10");
    EXPECT_EQ(Reach(usr, usr, 1800), "18");
    EXPECT_EQ(Reach(usr, usr, 1801), "out");
    EXPECT_EQ(instance->CalculateRadioDistortion(usr, 1050), 10.0f);
    EXPECT_EQ(instance->CalculateRadioDistortion(RadioType::Distributed, 1050), 0.0f);
}

TEST_F(RadioRange, TheReceiversRadioDecidesHowFarASenderReaches) {
    const auto sr = RadioType::ShortRange;
    const auto lr = RadioType::LongRange;
    EXPECT_EQ(Reach(sr, sr, 2500), "15");
    EXPECT_EQ(Reach(sr, lr, 2500), "out");
    // Within the ultra-short distance any receiver hears it; the distortion follows his class.
    EXPECT_EQ(Reach(sr, lr, 1600), "4");
    EXPECT_EQ(Reach(lr, lr, 8000), "18");
    EXPECT_EQ(Reach(lr, sr, 2500), "15");
    EXPECT_EQ(Reach(lr, sr, 3001), "out");
    // The first class flag of the sender decides: ultra-short wins over long range.
    EXPECT_EQ(Reach(RadioType::UltraShortRange | lr, lr, 2000), "out");
    // A radio without any class reaches nobody.
    EXPECT_EQ(Reach(RadioType::Distributed, lr, 10), "out");
    EXPECT_EQ(Reach(Model::RadioType{}, lr, 10), "out");
}

TEST_F(RadioRange, DistributedRadiosAddTheQualityOfBothTowersFloored) {
    Towers({Model::Tower{4000, 0, 0, 8000}});
    const PlayerState partner(Player("Anna", {8000, 0, 0}, 10));
    const auto radio = Radio(RadioType::Distributed | RadioType::LongRange, RadioType::LongRange);
    float distortion = 0.0f;
    // The sender 4000 from the tower gives 9; the receiver at (2000, 0, 0) 2000 from it 4.5.
    ASSERT_TRUE(instance->TryCalculateRadio(partner, radio, distortion, TSVector(2000, 0, 0)));
    EXPECT_EQ(distortion, 13.0f);
    EXPECT_TRUE(
        HasLogLine("Receiver has a tower in his range, calcutated distortion is 4.5 + 9 = 13 (floored)"));

    // Beyond the tower's range from the receiver: out of range.
    EXPECT_FALSE(instance->TryCalculateRadio(partner, radio, distortion, TSVector(-4001, 0, 0)));
    EXPECT_TRUE(HasLogLine("Receiver has no tower in his range"));
    Towers({});
    EXPECT_FALSE(instance->TryCalculateRadio(partner, radio, distortion, TSVector(2000, 0, 0)));
    EXPECT_TRUE(HasLogLine("Sender has no tower in his range"));
}

TEST_F(RadioRange, TheBestTowerWinsAndTheEarlierOfTwoEqualOnes) {
    Towers({Model::Tower{0, 500, 0, 1000}, Model::Tower{500, 0, 0, 1000}, Model::Tower{0, 0, 100, 900}});
    float distortion = 0.0f;
    // The last tower is the nearest: 100 of its 900 is 2 steps.
    ASSERT_TRUE(instance->TryGetClosestRadioTower({0, 0, 0}, RadioType::LongRange, true, distortion));
    EXPECT_FLOAT_EQ(distortion, 2.0f);
    // Nothing in range: the worst quality and no success.
    EXPECT_FALSE(instance->TryGetClosestRadioTower({0, 0, 1000}, RadioType::LongRange, true, distortion));
    EXPECT_FLOAT_EQ(distortion, 20.0f);
    Towers({Model::Tower{0, 500, 0, 1000}, Model::Tower{500, 0, 0, 1000}});
    ASSERT_TRUE(instance->TryGetClosestRadioTower({0, 0, 0}, RadioType::LongRange, true, distortion));
    EXPECT_FLOAT_EQ(distortion, 9.0f);
    EXPECT_TRUE(HasLogLine("New \"best quality\" tower | Pos: X:0 Y:500 Z:0 | Range: 1000 | Distortion: 9"));
    EXPECT_FALSE(HasLogLine("New \"best quality\" tower | Pos: X:500 Y:0 Z:0 | Range: 1000 | Distortion: 9"));

    // Without the distributed flag a sender's radio searches no tower.
    EXPECT_FALSE(instance->TryGetClosestRadioTower({0, 0, 0}, RadioType::LongRange, false, distortion));
    EXPECT_FLOAT_EQ(distortion, 20.0f);
    EXPECT_FALSE(instance->TryGetClosestRadioTower({0, 0, 0}, RadioType::Distributed, true, distortion));
    EXPECT_TRUE(HasLogLine("No radio mode specified - no tower found"));
}

} // namespace
} // namespace Tralvonic::Test
