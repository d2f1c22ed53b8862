#include "TeamSpeak/MathUtil.h"
#include "TeamSpeak/ArgumentError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

using TeamSpeak::ArgumentError;
using TeamSpeak::MathUtil;

TEST(MathUtilNearEqual, AllowsFourUnitsInTheLastPlaceButNotFive) {
    // At 1000 one unit in the last place is 2^-14, about 0.000061.
    EXPECT_TRUE(MathUtil::NearEqual(1000.0f, 1000.000244f));
    EXPECT_TRUE(MathUtil::NearEqual(1000.000244f, 1000.0f));
    EXPECT_FALSE(MathUtil::NearEqual(1000.0f, 1000.000305f));
    EXPECT_FALSE(MathUtil::NearEqual(-1000.000305f, -1000.0f));
    EXPECT_TRUE(MathUtil::NearEqual(-1000.0f, -1000.000244f));
}

TEST(MathUtilNearEqual, DifferencesBelowTheZeroToleranceAreEqualEvenAcrossSigns) {
    EXPECT_TRUE(MathUtil::NearEqual(0.0f, 0.0000009f));
    EXPECT_TRUE(MathUtil::NearEqual(-0.0000004f, 0.0000004f));
    EXPECT_TRUE(MathUtil::NearEqual(-0.0f, 0.0f));
    EXPECT_FALSE(MathUtil::NearEqual(0.00001f, 0.0f));
    // Opposite signs beyond the tolerance never count as near, however close the bits.
    EXPECT_FALSE(MathUtil::NearEqual(-0.000001f, 0.000001f));
    EXPECT_FALSE(MathUtil::NearEqual(-std::numeric_limits<float>::max(), std::numeric_limits<float>::max()));
}

TEST(MathUtilNearEqual, ZeroOneAndEpsilonTests) {
    EXPECT_TRUE(MathUtil::IsZero(0.0000009f));
    EXPECT_FALSE(MathUtil::IsZero(MathUtil::ZeroTolerance));
    EXPECT_TRUE(MathUtil::IsOne(1.0000005f));
    EXPECT_FALSE(MathUtil::IsOne(1.00001f));
    EXPECT_TRUE(MathUtil::WithinEpsilon(1.0f, 1.5f, 0.5f));
    EXPECT_TRUE(MathUtil::WithinEpsilon(1.5f, 1.0f, 0.5f));
    EXPECT_FALSE(MathUtil::WithinEpsilon(1.0f, 1.5f, 0.49f));
}

TEST(MathUtilClamp, LimitsFloatsAndIntegersAndLetsMinWinWhenAboveMax) {
    EXPECT_EQ(MathUtil::Clamp(5.0f, 0.0f, 1.0f), 1.0f);
    EXPECT_EQ(MathUtil::Clamp(-5.0f, 0.0f, 1.0f), 0.0f);
    EXPECT_EQ(MathUtil::Clamp(0.25f, 0.0f, 1.0f), 0.25f);
    EXPECT_EQ(MathUtil::Clamp(5.0f, 10.0f, 0.0f), 10.0f);
    EXPECT_EQ(MathUtil::Clamp(std::int32_t{7}, 1, 3), 3);
    EXPECT_EQ(MathUtil::Clamp(std::int32_t{-7}, 1, 3), 1);
    EXPECT_EQ(MathUtil::Clamp(std::int32_t{5}, 10, 0), 10);
}

TEST(MathUtilInterpolation, LerpInEachPrecisionAndTruncatingBytes) {
    EXPECT_FLOAT_EQ(MathUtil::Lerp(0.0f, 10.0f, 0.25f), 2.5f);
    EXPECT_DOUBLE_EQ(MathUtil::Lerp(-2.0, 2.0, 0.75), 1.0);
    EXPECT_FLOAT_EQ(MathUtil::Lerp(1.0f, 3.0f, 2.0f), 5.0f);
    EXPECT_EQ(MathUtil::Lerp(std::uint8_t{0}, std::uint8_t{255}, 0.5f), 127);
    EXPECT_EQ(MathUtil::Lerp(std::uint8_t{10}, std::uint8_t{20}, 0.99f), 19);
}

TEST(MathUtilInterpolation, StepCurvesAreFlatOutsideZeroToOne) {
    EXPECT_EQ(MathUtil::SmoothStep(-1.0f), 0.0f);
    EXPECT_EQ(MathUtil::SmoothStep(2.0f), 1.0f);
    EXPECT_FLOAT_EQ(MathUtil::SmoothStep(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(MathUtil::SmoothStep(0.25f), 0.15625f);
    EXPECT_EQ(MathUtil::SmootherStep(-1.0f), 0.0f);
    EXPECT_EQ(MathUtil::SmootherStep(1.0f), 1.0f);
    EXPECT_FLOAT_EQ(MathUtil::SmootherStep(0.5f), 0.5f);
    EXPECT_FLOAT_EQ(MathUtil::SmootherStep(0.25f), 0.103515625f);
}

TEST(MathUtilMod, KeepsTheSignOfTheValueAndIgnoresZeroModulo) {
    EXPECT_EQ(MathUtil::Mod(7.0f, 0.0f), 7.0f);
    EXPECT_FLOAT_EQ(MathUtil::Mod(7.0f, 3.0f), 1.0f);
    EXPECT_FLOAT_EQ(MathUtil::Mod(-7.0f, 3.0f), -1.0f);
    EXPECT_NEAR(MathUtil::Mod2PI(3.0f * MathUtil::Pi), MathUtil::Pi, 1e-5f);
}

TEST(MathUtilWrap, IntegersWrapIntoTheInclusiveRange) {
    EXPECT_EQ(MathUtil::Wrap(-1, 0, 9), 9);
    EXPECT_EQ(MathUtil::Wrap(12, 0, 9), 2);
    EXPECT_EQ(MathUtil::Wrap(9, 0, 9), 9);
    EXPECT_EQ(MathUtil::Wrap(-25, 0, 9), 5);
    EXPECT_EQ(MathUtil::Wrap(4, 4, 4), 4);
}

TEST(MathUtilWrap, IntegersAtTheEdgesOfTheTypeDoNotOverflow) {
    constexpr auto Lowest = std::numeric_limits<std::int32_t>::min();
    constexpr auto Highest = std::numeric_limits<std::int32_t>::max();
    EXPECT_EQ(MathUtil::Wrap(5, Lowest, Highest), 5);
    EXPECT_EQ(MathUtil::Wrap(Lowest, Lowest, Highest), Lowest);
    EXPECT_EQ(MathUtil::Wrap(Highest, -10, 10), 1);
    EXPECT_EQ(MathUtil::Wrap(Lowest, -10, 10), -2);
}

TEST(MathUtilWrap, FloatsWrapIntoTheHalfOpenRange) {
    EXPECT_FLOAT_EQ(MathUtil::Wrap(370.0f, 0.0f, 360.0f), 10.0f);
    EXPECT_FLOAT_EQ(MathUtil::Wrap(-10.0f, 0.0f, 360.0f), 350.0f);
    EXPECT_FLOAT_EQ(MathUtil::Wrap(360.0f, 0.0f, 360.0f), 0.0f);
    EXPECT_FLOAT_EQ(MathUtil::Wrap(-0.5f, -1.0f, 1.0f), -0.5f);
    EXPECT_EQ(MathUtil::Wrap(5.0f, 3.0f, 3.0f), 3.0f);
}

TEST(MathUtilWrap, ReversedBoundsNameMinAndBothValues) {
    try {
        MathUtil::Wrap(5, 7, 3);
        FAIL() << "no error for min above max";
    } catch (const ArgumentError& error) {
        EXPECT_EQ(error.ParamName(), "min");
        EXPECT_EQ(error.Message(), "min 7 should be less than or equal to max 3");
        EXPECT_STREQ(error.what(), "min 7 should be less than or equal to max 3 (Parameter 'min')");
    }
    try {
        MathUtil::Wrap(5.0f, 7.5f, 3.0f);
        FAIL() << "no error for min above max";
    } catch (const ArgumentError& error) {
        EXPECT_EQ(error.ParamName(), "min");
        EXPECT_EQ(error.Message(), "min 7.5 should be less than or equal to max 3");
    }
}

TEST(MathUtilAngles, ConversionsAgreeWithKnownAnglesAndInvertEachOther) {
    EXPECT_FLOAT_EQ(MathUtil::DegreesToRadians(180.0f), MathUtil::Pi);
    EXPECT_FLOAT_EQ(MathUtil::RadiansToDegrees(MathUtil::PiOverTwo), 90.0f);
    EXPECT_FLOAT_EQ(MathUtil::GradiansToDegrees(100.0f), 90.0f);
    EXPECT_FLOAT_EQ(MathUtil::GradiansToRadians(50.0f), MathUtil::PiOverFour);
    EXPECT_FLOAT_EQ(MathUtil::RadiansToGradians(MathUtil::Pi), 200.0f);
    EXPECT_FLOAT_EQ(MathUtil::RevolutionsToDegrees(0.25f), 90.0f);
    EXPECT_FLOAT_EQ(MathUtil::RevolutionsToRadians(0.5f), MathUtil::Pi);
    EXPECT_FLOAT_EQ(MathUtil::RevolutionsToGradians(0.5f), 200.0f);
    EXPECT_FLOAT_EQ(MathUtil::DegreesToRevolutions(90.0f), 0.25f);
    EXPECT_FLOAT_EQ(MathUtil::RadiansToRevolutions(MathUtil::TwoPi), 1.0f);
    EXPECT_FLOAT_EQ(MathUtil::GradiansToRevolutions(100.0f), 0.25f);
}

} // namespace
