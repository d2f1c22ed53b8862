// Positions as the game sends them, inside a record and on their own.

#include "Model/Json.h"

#include <gtest/gtest.h>

#include <optional>

namespace VectorTest {

struct Located {
    TeamSpeak::TSVector Position;
    std::optional<TeamSpeak::TSVector> Target;
};
BOOST_DESCRIBE_STRUCT(Located, (), (Position, Target))

} // namespace VectorTest

namespace {

using Tralvonic::Model::JsonError;
using Tralvonic::Model::ParseJson;
using Tralvonic::Model::SerializeJson;
using VectorTest::Located;

TEST(TSVectorJson, ComponentsInAnyCaseAndMissingOnesAreZero) {
    auto located = ParseJson<Located>(R"({"Position":{"x":1.5,"Y":-2,"z":3}})");
    EXPECT_EQ(located.Position.X, 1.5f);
    EXPECT_EQ(located.Position.Y, -2.0f);
    EXPECT_EQ(located.Position.Z, 3.0f);
    EXPECT_FALSE(located.Target.has_value());

    located = ParseJson<Located>(R"({"position":{"Z":4},"Target":{}})");
    EXPECT_EQ(located.Position.X, 0.0f);
    EXPECT_EQ(located.Position.Y, 0.0f);
    EXPECT_EQ(located.Position.Z, 4.0f);
    ASSERT_TRUE(located.Target.has_value());
    EXPECT_TRUE(located.Target->IsZero());
}

TEST(TSVectorJson, NullPositionOnlyWhereNullable) {
    EXPECT_FALSE(ParseJson<Located>(R"({"Target":null})").Target.has_value());
    EXPECT_THROW(ParseJson<Located>(R"({"Position":null})"), JsonError);
}

TEST(TSVectorJson, WrongComponentTypeNamesThePath) {
    try {
        ParseJson<Located>(R"({"Position":{"X":"1"}})");
        FAIL() << "a text component was accepted";
    } catch (const JsonError& error) {
        EXPECT_EQ(error.Path(), "Position.X");
    }
}

TEST(TSVectorJson, WrittenAsShortestComponents) {
    Located located;
    located.Position = TeamSpeak::TSVector(0.1f, -2.0f, 1.6f);
    EXPECT_EQ(SerializeJson(located), R"({"Position":{"X":0.1,"Y":-2,"Z":1.6},"Target":null})");
}

} // namespace
