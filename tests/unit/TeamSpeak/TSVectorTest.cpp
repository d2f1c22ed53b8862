#include "TeamSpeak/TSVector.h"
#include "TeamSpeak/ArgumentError.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <locale>
#include <sstream>
#include <unordered_set>
#include <vector>

namespace {

using TeamSpeak::ArgumentError;
using TeamSpeak::TSVector;

void ExpectComponents(const TSVector& actual, float x, float y, float z) {
    EXPECT_FLOAT_EQ(actual.X, x);
    EXPECT_FLOAT_EQ(actual.Y, y);
    EXPECT_FLOAT_EQ(actual.Z, z);
}

template <typename Action> ArgumentError CaptureArgumentError(Action action) {
    try {
        action();
    } catch (const ArgumentError& error) {
        return error;
    }
    ADD_FAILURE() << "no ArgumentError";
    return ArgumentError("", "");
}

// Decimal comma, as in many European locales; built here so no system locale is needed.
struct CommaDecimal : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

std::locale CommaLocale() {
    return std::locale(std::locale::classic(), new CommaDecimal);
}

TEST(TSVectorConstruction, FromScalarComponentsAndListsOfThree) {
    ExpectComponents(TSVector(), 0, 0, 0);
    ExpectComponents(TSVector(2.5f), 2.5f, 2.5f, 2.5f);
    ExpectComponents(TSVector(1, 2, 3), 1, 2, 3);
    const std::vector<float> values{4, 5, 6};
    ExpectComponents(TSVector(values), 4, 5, 6);
    ExpectComponents(TSVector(values.data(), values.size()), 4, 5, 6);
    EXPECT_EQ(TSVector(7, 8, 9).ToArray(), (std::array<float, 3>{7, 8, 9}));
}

TEST(TSVectorConstruction, ListsOfOtherLengthsAndMissingListsNameValues) {
    const std::vector<float> two{1, 2};
    const std::vector<float> four{1, 2, 3, 4};
    for (const auto* values : {&two, &four}) {
        const auto error = CaptureArgumentError([&] { TSVector{std::span<const float>(*values)}; });
        EXPECT_EQ(error.ParamName(), "values");
        EXPECT_EQ(error.Message(), "There must be three and only three input values for TSVector.");
        EXPECT_STREQ(error.what(),
                     "There must be three and only three input values for TSVector. (Parameter 'values')");
    }
    EXPECT_EQ(CaptureArgumentError([&] { TSVector(four.data(), 2); }).ParamName(), "values");
    EXPECT_EQ(CaptureArgumentError([] { TSVector(static_cast<const float*>(nullptr), 3); }).ParamName(),
              "values");
}

TEST(TSVectorConstruction, SharesTheHostVectorLayout) {
    const TSVector vector(1.5f, -2.5f, 3.5f);
    const TeamSpeak::TS3_VECTOR* host = vector.HostVector();
    EXPECT_EQ(static_cast<const void*>(host), static_cast<const void*>(&vector));
    EXPECT_EQ(host->x, 1.5f);
    EXPECT_EQ(host->y, -2.5f);
    EXPECT_EQ(host->z, 3.5f);
}

TEST(TSVectorConstruction, NamedDirectionsAreConsistent) {
    EXPECT_EQ(TSVector::Cross(TSVector::UnitX, TSVector::UnitY), TSVector::UnitZ);
    EXPECT_EQ(TSVector::Up, -TSVector::Down);
    EXPECT_EQ(TSVector::Right, -TSVector::Left);
    EXPECT_EQ(TSVector::ForwardRH, TSVector::BackwardLH);
    EXPECT_EQ(TSVector::ForwardLH, -TSVector::ForwardRH);
    EXPECT_EQ(TSVector::BackwardRH, TSVector::UnitZ);
    EXPECT_EQ(TSVector::One - TSVector::UnitX - TSVector::UnitY - TSVector::UnitZ, TSVector::Zero);
    EXPECT_TRUE(TSVector::Zero.IsZero());
}

TEST(TSVectorIndexer, ReadsAndWritesComponentsAndRejectsOtherIndices) {
    TSVector vector(1, 2, 3);
    vector[1] = 20;
    const TSVector& constant = vector;
    EXPECT_EQ(constant[0], 1);
    EXPECT_EQ(constant[1], 20);
    EXPECT_EQ(constant[2], 3);
    for (const int index : {3, -1}) {
        const auto error = CaptureArgumentError([&] { vector[index] = 0; });
        EXPECT_EQ(error.ParamName(), "index");
        EXPECT_EQ(error.Message(), "Indices for TSVector run from 0 to 2, inclusive.");
        EXPECT_EQ(CaptureArgumentError([&] { (void)constant[index]; }).ParamName(), "index");
    }
    ExpectComponents(vector, 1, 20, 3);
}

TEST(TSVectorMeasure, DistanceAndLength) {
    const TSVector far(3, 4, 12);
    EXPECT_EQ(TSVector::Distance(TSVector::Zero, far), 13.0f);
    EXPECT_EQ(TSVector::Distance(far, TSVector::Zero), 13.0f);
    EXPECT_EQ(TSVector::DistanceSquared(TSVector(1, 1, 1), TSVector(4, 5, 13)), 169.0f);
    EXPECT_EQ(TSVector(1, 1, 1).DistanceToSquared(TSVector(4, 5, 13)), 169.0f);
    EXPECT_EQ(far.Length(), 13.0f);
    EXPECT_EQ(far.LengthSquared(), 169.0f);
    float result = 0;
    TSVector::Distance(TSVector(1, 1, 1), TSVector(4, 5, 1), result);
    EXPECT_EQ(result, 5.0f);
}

TEST(TSVectorMeasure, NormalizeScalesToUnitLengthAndLeavesZeroAlone) {
    TSVector vector(3, 0, 4);
    EXPECT_FALSE(vector.IsNormalized());
    vector.Normalize();
    ExpectComponents(vector, 0.6f, 0, 0.8f);
    EXPECT_TRUE(vector.IsNormalized());

    TSVector zero;
    zero.Normalize();
    ExpectComponents(zero, 0, 0, 0);
    EXPECT_TRUE(zero.IsZero());
    EXPECT_FALSE(zero.IsNormalized());

    const TSVector original(0, -2, 0);
    ExpectComponents(TSVector::Normalize(original), 0, -1, 0);
    ExpectComponents(original, 0, -2, 0);
}

TEST(TSVectorEquality, ComparesEachComponentTolerantly) {
    EXPECT_EQ(TSVector(1000, 0, 0), TSVector(1000.000244f, 0, 0));
    EXPECT_NE(TSVector(1000, 0, 0), TSVector(1000.000305f, 0, 0));
    EXPECT_EQ(TSVector(0, 0, 0), TSVector(0, 0, 0.0000009f));
    EXPECT_NE(TSVector(0, 0, 0.00001f), TSVector(0, 0, 0));
    EXPECT_NE(TSVector(1, 2, 3), TSVector(1, 2, 4));
    EXPECT_TRUE(TSVector(1, 2, 3).Equals(TSVector(1, 2, 3)));
    EXPECT_FALSE(TSVector(0, 0, 0.00001f).IsZero());
}

TEST(TSVectorEquality, HashIsStableAndOrderSensitive) {
    EXPECT_EQ(std::hash<TSVector>{}(TSVector(1, 2, 3)), TSVector(1, 2, 3).GetHashCode());
    EXPECT_NE(TSVector(1, 2, 3).GetHashCode(), TSVector(3, 2, 1).GetHashCode());
    EXPECT_NE(TSVector(1, 2, 3).GetHashCode(), TSVector(2, 1, 3).GetHashCode());
    const std::unordered_set<TSVector> set{TSVector(1, 2, 3), TSVector(1, 2, 3), TSVector(4, 5, 6)};
    EXPECT_EQ(set.size(), 2u);
    EXPECT_EQ(set.count(TSVector(4, 5, 6)), 1u);
}

TEST(TSVectorNearEqual, EachComponentWithinItsOwnEpsilonInclusive) {
    const TSVector a(1, 2, 3);
    EXPECT_TRUE(TSVector::NearEqual(a, TSVector(1.5f, 1.75f, 3), TSVector(0.5f, 0.25f, 0)));
    EXPECT_FALSE(TSVector::NearEqual(a, TSVector(1.5f, 2, 3), TSVector(0.49f, 1, 1)));
    EXPECT_FALSE(TSVector::NearEqual(a, TSVector(1, 2, 3.5f), TSVector(1, 1, 0.25f)));
    bool result = false;
    TSVector::NearEqual(a, a, TSVector::Zero, result);
    EXPECT_TRUE(result);
}

TEST(TSVectorText, GeneralFormInTheGlobalLocale) {
    EXPECT_EQ(TSVector(1, 2.5f, -3).ToString(), "X:1 Y:2.5 Z:-3");
    EXPECT_EQ(TSVector(0.125f, 1e-7f, 1234567).ToString(), "X:0.125 Y:1e-07 Z:1.23457e+06");

    const std::locale previous = std::locale::global(CommaLocale());
    const std::string text = TSVector(1, 2.5f, -3).ToString();
    const std::string formatted = TSVector(1, 2.5f, -3).ToString("%.1f");
    std::locale::global(previous);
    EXPECT_EQ(text, "X:1 Y:2,5 Z:-3");
    EXPECT_EQ(formatted, "X:1,0 Y:2,5 Z:-3,0");
}

TEST(TSVectorText, ExplicitLocaleAndStreams) {
    EXPECT_EQ(TSVector(1, 2.5f, -3).ToString(CommaLocale()), "X:1 Y:2,5 Z:-3");
    EXPECT_EQ(TSVector(0.5f).ToString("%.2f", CommaLocale()), "X:0,50 Y:0,50 Z:0,50");
    std::ostringstream stream;
    stream.imbue(CommaLocale());
    stream << TSVector(1.5f, 0, 2);
    EXPECT_EQ(stream.str(), "X:1,5 Y:0 Z:2");
}

TEST(TSVectorText, FormatStringAppliesToEachComponent) {
    const TSVector vector(1, -2.5f, 300);
    EXPECT_EQ(vector.ToString("%.2f"), "X:1.00 Y:-2.50 Z:300.00");
    EXPECT_EQ(vector.ToString("%+07.1f"), "X:+0001.0 Y:-0002.5 Z:+0300.0");
    EXPECT_EQ(vector.ToString("%-5.0fm"), "X:1    m Y:-2   m Z:300  m");
    EXPECT_EQ(vector.ToString("%.1E"), "X:1.0E+00 Y:-2.5E+00 Z:3.0E+02");
    EXPECT_EQ(vector.ToString("%g%%"), "X:1% Y:-2.5% Z:300%");
    EXPECT_EQ(vector.ToString("%#.3g"), "X:1.00 Y:-2.50 Z:300.");
}

TEST(TSVectorText, FormatsOtherThanOneFloatingConversionAreRejected) {
    const TSVector vector(1, 2, 3);
    for (const char* format : {"", "plain", "%", "%d", "%s", "%n", "%f %f", "%*f", "%lf", "%.f%", "%%"}) {
        const auto error = CaptureArgumentError([&] { (void)vector.ToString(format); });
        EXPECT_EQ(error.ParamName(), "format") << format;
    }
}

TEST(TSVectorArithmetic, OperatorsWorkComponentWiseWithScalarsOnEitherSide) {
    const TSVector a(1, 2, 3);
    const TSVector b(4, -2, 0.5f);
    ExpectComponents(a + b, 5, 0, 3.5f);
    ExpectComponents(a - b, -3, 4, 2.5f);
    ExpectComponents(a * b, 4, -4, 1.5f);
    ExpectComponents(a / b, 0.25f, -1, 6);
    ExpectComponents(a + 1, 2, 3, 4);
    ExpectComponents(1 + a, 2, 3, 4);
    ExpectComponents(a - 1, 0, 1, 2);
    ExpectComponents(10 - a, 9, 8, 7);
    ExpectComponents(a * 2, 2, 4, 6);
    ExpectComponents(2 * a, 2, 4, 6);
    ExpectComponents(a / 2, 0.5f, 1, 1.5f);
    ExpectComponents(6 / a, 6, 3, 2);
    ExpectComponents(-a, -1, -2, -3);
    ExpectComponents(+a, 1, 2, 3);
}

TEST(TSVectorArithmetic, NamedFormsAndResultArgumentsAgreeWithOperators) {
    const TSVector a(1, 2, 3);
    const TSVector b(4, -2, 0.5f);
    TSVector result;
    const auto same = [&](const TSVector& expected) {
        EXPECT_EQ(result, expected);
        result = TSVector(99);
    };
    TSVector::Add(a, b, result), same(a + b);
    TSVector::Add(a, 3, result), same(a + 3);
    TSVector::Subtract(a, b, result), same(a - b);
    TSVector::Subtract(a, 3, result), same(a - 3);
    TSVector::Subtract(3, a, result), same(3 - a);
    TSVector::Multiply(a, 3, result), same(a * 3);
    TSVector::Multiply(a, b, result), same(a * b);
    TSVector::Divide(a, 3, result), same(a / 3);
    TSVector::Divide(3, a, result), same(3 / a);
    TSVector::Negate(a, result), same(-a);
    TSVector::Max(a, b, result), same(TSVector::Max(a, b));
    TSVector::Min(a, b, result), same(TSVector::Min(a, b));
    TSVector::Clamp(a, b, b, result), same(TSVector::Clamp(a, b, b));
    TSVector::Cross(a, b, result), same(TSVector::Cross(a, b));
    TSVector::Reflect(a, TSVector::UnitY, result), same(TSVector::Reflect(a, TSVector::UnitY));
    TSVector::Normalize(a, result), same(TSVector::Normalize(a));
    TSVector::Lerp(a, b, 0.3f, result), same(TSVector::Lerp(a, b, 0.3f));
    TSVector::SmoothStep(a, b, 0.3f, result), same(TSVector::SmoothStep(a, b, 0.3f));
    TSVector::Barycentric(a, b, a, 0.3f, 0.2f, result), same(TSVector::Barycentric(a, b, a, 0.3f, 0.2f));
    TSVector::Hermite(a, b, b, a, 0.3f, result), same(TSVector::Hermite(a, b, b, a, 0.3f));
    TSVector::CatmullRom(a, b, a, b, 0.3f, result), same(TSVector::CatmullRom(a, b, a, b, 0.3f));
    float scalar = 0;
    TSVector::Dot(a, b, scalar);
    EXPECT_EQ(scalar, TSVector::Dot(a, b));
    TSVector::DistanceSquared(a, b, scalar);
    EXPECT_EQ(scalar, TSVector::DistanceSquared(a, b));
}

TEST(TSVectorArithmetic, MaxAndMinTakeTheSecondOperandOnATie) {
    const TSVector negativeZero(-0.0f, -0.0f, -0.0f);
    const TSVector positiveZero(0.0f, 0.0f, 0.0f);
    EXPECT_FALSE(std::signbit(TSVector::Max(negativeZero, positiveZero).X));
    EXPECT_TRUE(std::signbit(TSVector::Max(positiveZero, negativeZero).Y));
    EXPECT_FALSE(std::signbit(TSVector::Min(negativeZero, positiveZero).Z));
    EXPECT_TRUE(std::signbit(TSVector::Min(positiveZero, negativeZero).X));
    ExpectComponents(TSVector::Max(TSVector(1, 5, -3), TSVector(2, 4, -4)), 2, 5, -3);
    ExpectComponents(TSVector::Min(TSVector(1, 5, -3), TSVector(2, 4, -4)), 1, 4, -4);
}

TEST(TSVectorArithmetic, ClampCapsAtMaxThenRaisesToMin) {
    ExpectComponents(TSVector::Clamp(TSVector(-5, 0.5f, 5), TSVector(0), TSVector(1)), 0, 0.5f, 1);
    ExpectComponents(TSVector::Clamp(TSVector(5), TSVector(10), TSVector(0)), 10, 10, 10);
}

TEST(TSVectorGeometry, DotCrossAndReflect) {
    EXPECT_EQ(TSVector::Dot(TSVector(1, 2, 3), TSVector(4, -5, 6)), 12.0f);
    ExpectComponents(TSVector::Cross(TSVector(1, 2, 3), TSVector(4, 5, 6)), -3, 6, -3);
    ExpectComponents(TSVector::Cross(TSVector::UnitY, TSVector::UnitX), 0, 0, -1);
    ExpectComponents(TSVector::Reflect(TSVector(1, -1, 0), TSVector::Up), 1, 1, 0);
    ExpectComponents(TSVector::Reflect(TSVector(2, 3, 4), TSVector::UnitZ), 2, 3, -4);
}

void ExpectOrthogonal(std::span<const TSVector> vectors) {
    for (std::size_t i = 0; i < vectors.size(); ++i) {
        for (std::size_t j = i + 1; j < vectors.size(); ++j) {
            EXPECT_NEAR(TSVector::Dot(vectors[i], vectors[j]), 0.0f, 1e-5f) << i << " and " << j;
        }
    }
}

TEST(TSVectorGeometry, OrthogonalizeKeepsTheFirstVectorAndSpan) {
    const std::array<TSVector, 3> source{TSVector(1, 1, 0), TSVector(1, 0, 1), TSVector(0, 1, 1)};
    std::array<TSVector, 4> destination{};
    destination[3] = TSVector(7);
    TSVector::Orthogonalize(destination, source);
    ExpectOrthogonal(std::span(destination).first(3));
    ExpectComponents(destination[0], 1, 1, 0);
    ExpectComponents(destination[1], 0.5f, -0.5f, 1);
    ExpectComponents(destination[3], 7, 7, 7);
}

TEST(TSVectorGeometry, OrthonormalizeGivesUnitVectorsAndWorksInPlace) {
    std::array<TSVector, 3> vectors{TSVector(3, 0, 0), TSVector(2, 2, 0), TSVector(1, 1, 5)};
    TSVector::Orthonormalize(vectors, vectors);
    ExpectOrthogonal(vectors);
    for (const TSVector& vector : vectors) {
        EXPECT_TRUE(vector.IsNormalized()) << vector;
    }
    ExpectComponents(vectors[0], 1, 0, 0);
    ExpectComponents(vectors[1], 0, 1, 0);
    ExpectComponents(vectors[2], 0, 0, 1);
}

TEST(TSVectorGeometry, OrthogonalizationRejectsMissingOrShortArrays) {
    const std::array<TSVector, 2> source{TSVector::UnitX, TSVector::UnitY};
    std::array<TSVector, 1> shortDestination{};
    using PointerForm = void (*)(TSVector*, std::size_t, const TSVector*, std::size_t);
    for (const PointerForm run :
         {PointerForm{&TSVector::Orthogonalize}, PointerForm{&TSVector::Orthonormalize}}) {
        const auto shortError = CaptureArgumentError(
            [&] { run(shortDestination.data(), shortDestination.size(), source.data(), source.size()); });
        EXPECT_EQ(shortError.ParamName(), "destination");
        EXPECT_EQ(shortError.Message(),
                  "The destination array must be of same length or larger length than the source array.");
        EXPECT_EQ(CaptureArgumentError([&] { run(shortDestination.data(), 1, nullptr, 0); }).ParamName(),
                  "source");
        EXPECT_EQ(CaptureArgumentError([&] { run(nullptr, 0, source.data(), 2); }).ParamName(),
                  "destination");
    }
    const auto spanError = CaptureArgumentError(
        [&] { TSVector::Orthonormalize(std::span<TSVector>(shortDestination), std::span(source)); });
    EXPECT_EQ(spanError.ParamName(), "destination");
    ExpectComponents(shortDestination[0], 0, 0, 0);
}

TEST(TSVectorInterpolation, LerpAndSmoothStepBetweenTwoPoints) {
    const TSVector start(0, 10, -10);
    const TSVector end(10, 30, 10);
    ExpectComponents(TSVector::Lerp(start, end, 0.5f), 5, 20, 0);
    ExpectComponents(TSVector::Lerp(start, end, 1.5f), 15, 40, 20);
    ExpectComponents(TSVector::SmoothStep(start, end, 0.25f), 1.5625f, 13.125f, -6.875f);
    ExpectComponents(TSVector::SmoothStep(start, end, 1.5f), 10, 30, 10);
}

TEST(TSVectorInterpolation, BarycentricWeightsTheTriangleCorners) {
    const TSVector p1(1, 1, 1);
    const TSVector p2(3, 1, 1);
    const TSVector p3(1, 5, 1);
    ExpectComponents(TSVector::Barycentric(p1, p2, p3, 0, 0), 1, 1, 1);
    ExpectComponents(TSVector::Barycentric(p1, p2, p3, 1, 0), 3, 1, 1);
    ExpectComponents(TSVector::Barycentric(p1, p2, p3, 0.25f, 0.5f), 1.5f, 3, 1);
}

TEST(TSVectorInterpolation, HermiteHitsItsEndPointsAndFollowsTheTangents) {
    const TSVector p1(0, 1, 0);
    const TSVector p2(0, 3, 0);
    const TSVector tangent1(1, 0, 0);
    const TSVector tangent2(-1, 0, 0);
    ExpectComponents(TSVector::Hermite(p1, tangent1, p2, tangent2, 0), 0, 1, 0);
    ExpectComponents(TSVector::Hermite(p1, tangent1, p2, tangent2, 1), 0, 3, 0);
    // X rises along the first tangent and falls along the second; Y eases from 1 to 3.
    ExpectComponents(TSVector::Hermite(p1, tangent1, p2, tangent2, 0.5f), 0.25f, 2, 0);
    // With both tangents the slope of a straight line the curve is that line.
    const TSVector slope(2, 2, 2);
    ExpectComponents(TSVector::Hermite(TSVector(1), slope, TSVector(3), slope, 0.25f), 1.5f, 1.5f, 1.5f);
}

TEST(TSVectorInterpolation, CatmullRomRunsThroughTheInnerPoints) {
    const TSVector p1(0, 0, 0);
    const TSVector p2(1, 0, 2);
    const TSVector p3(2, 1, 4);
    const TSVector p4(3, 0, 6);
    ExpectComponents(TSVector::CatmullRom(p1, p2, p3, p4, 0), 1, 0, 2);
    ExpectComponents(TSVector::CatmullRom(p1, p2, p3, p4, 1), 2, 1, 4);
    // Evenly spaced points on a line (X, Z) stay on it; the bump in Y overshoots smoothly.
    ExpectComponents(TSVector::CatmullRom(p1, p2, p3, p4, 0.5f), 1.5f, 0.5625f, 3);
}

} // namespace
