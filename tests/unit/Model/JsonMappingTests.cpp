// The JSON mapping layer through its public entry points, on small records made for the test.

#include "Model/Json.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace MappingTest {

enum class Colour : std::int32_t { Red = 0, Green = 1, BlueGreen = 2 };
BOOST_DESCRIBE_ENUM(Colour, Red, Green, BlueGreen)

enum class Shade : std::int32_t { Light = 0, Dark = 1 };
BOOST_DESCRIBE_ENUM(Shade, Light, Dark)

enum class Flags : std::int32_t { None = 1, Short = 2, Long = 4 };

struct Inner {
    std::int32_t Count = 7;
    std::string Label = "inner";
};
BOOST_DESCRIBE_STRUCT(Inner, (), (Count, Label))

struct Record {
    std::string Name = "default";
    bool IsAlive = true;
    std::int32_t Small = 1;
    std::uint64_t Big = 2;
    std::uint16_t Tiny = 3;
    float Range = 0.5f;
    double Precise = 0.25;
    MappingTest::Colour Colour = MappingTest::Colour::Green;
    MappingTest::Shade Shade = MappingTest::Shade::Light;
    MappingTest::Flags Flags = MappingTest::Flags::None;
    std::vector<std::string> Tags = {"a", "b"};
    std::optional<float> Volume;
    std::optional<Inner> Nested;
    Inner Fixed;
    std::vector<Inner> Items;
};
BOOST_DESCRIBE_STRUCT(Record, (),
                      (Name, IsAlive, Small, Big, Tiny, Range, Precise, Colour, Shade, Flags, Tags, Volume,
                       Nested, Fixed, Items))

struct Defaults {
    std::string Pack = "default";
    std::vector<std::uint64_t> Ids = {7};
    std::optional<std::string> Owner = "owner";
    std::int32_t Count = 3;
};
BOOST_DESCRIBE_STRUCT(Defaults, (), (Pack, Ids, Owner, Count))

struct Sparse {
    std::string Name;
    std::optional<std::string> Relay;
    float Level = 0.0f;
};
BOOST_DESCRIBE_STRUCT(Sparse, (), (Name, Relay, Level))

} // namespace MappingTest

template <>
inline constexpr Tralvonic::Model::EnumForm Tralvonic::Model::EnumJsonForm<MappingTest::Shade> =
    Tralvonic::Model::EnumForm::Name;
template <> inline constexpr bool Tralvonic::Model::NullReadsAsDefault<MappingTest::Defaults> = true;
template <> inline constexpr bool Tralvonic::Model::NullKeysOmitted<MappingTest::Sparse> = true;

namespace {

using MappingTest::Colour;
using MappingTest::Flags;
using MappingTest::Inner;
using MappingTest::Record;
using MappingTest::Shade;
using Tralvonic::Model::FromJson;
using Tralvonic::Model::JsonError;
using Tralvonic::Model::ParseJson;
using Tralvonic::Model::ParseJsonText;
using Tralvonic::Model::SerializeJson;
using Tralvonic::Model::ToJsonValue;

// The description of the failure, or "" when the text was accepted.
std::string ReadFailure(std::string_view text) {
    try {
        ParseJson<Record>(text);
    } catch (const JsonError& error) {
        return error.what();
    }
    return "";
}

TEST(JsonMapping, EmptyObjectKeepsEveryDefault) {
    EXPECT_EQ(SerializeJson(ParseJson<Record>("{}")), SerializeJson(Record{}));
}

TEST(JsonMapping, KeysMatchExactlyFirstThenIgnoringCase) {
    auto record = ParseJson<Record>(R"({"isalive":false,"name":"folded","Name":"exact"})");
    EXPECT_FALSE(record.IsAlive);
    EXPECT_EQ(record.Name, "exact");

    record = ParseJson<Record>(R"({"Name":"exact","NAME":"folded"})");
    EXPECT_EQ(record.Name, "exact");

    record = ParseJson<Record>(R"({"sMaLL":5,"colour":"BLUEGREEN"})");
    EXPECT_EQ(record.Small, 5);
    EXPECT_EQ(record.Colour, Colour::BlueGreen);
}

TEST(JsonMapping, UnknownKeysAreIgnoredAndMissingKeysKeepDefaults) {
    auto record = ParseJson<Record>(R"({"Unknown":[1,2,{"x":null}],"Small":9})");
    EXPECT_EQ(record.Small, 9);
    EXPECT_EQ(record.Name, "default");
    EXPECT_EQ(record.Tags, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(record.Fixed.Count, 7);
}

TEST(JsonMapping, PresentListReplacesTheDefaultWhole) {
    EXPECT_EQ(ParseJson<Record>(R"({"Tags":["z"]})").Tags, std::vector<std::string>{"z"});
    EXPECT_TRUE(ParseJson<Record>(R"({"Tags":[]})").Tags.empty());
}

TEST(JsonMapping, NestedRecordsAndListsOfRecords) {
    auto record = ParseJson<Record>(
        R"({"Fixed":{"label":"f"},"Nested":{"Count":3},"Items":[{"Count":1},{},{"Label":"x"}]})");
    EXPECT_EQ(record.Fixed.Count, 7);
    EXPECT_EQ(record.Fixed.Label, "f");
    ASSERT_TRUE(record.Nested.has_value());
    EXPECT_EQ(record.Nested->Count, 3);
    EXPECT_EQ(record.Nested->Label, "inner");
    ASSERT_EQ(record.Items.size(), 3u);
    EXPECT_EQ(record.Items[0].Count, 1);
    EXPECT_EQ(record.Items[1].Count, 7);
    EXPECT_EQ(record.Items[2].Label, "x");
}

TEST(JsonMapping, EnumerationsFromNumbersOrNamesInAnyCase) {
    EXPECT_EQ(ParseJson<Record>(R"({"Colour":2})").Colour, Colour::BlueGreen);
    EXPECT_EQ(ParseJson<Record>(R"({"Colour":"red"})").Colour, Colour::Red);
    EXPECT_EQ(ParseJson<Record>(R"({"Colour":"GrEeN"})").Colour, Colour::Green);
    // Numbers that name no member still arrive: flag sets are combinations.
    EXPECT_EQ(static_cast<int>(ParseJson<Record>(R"({"Colour":99})").Colour), 99);
    EXPECT_EQ(static_cast<int>(ParseJson<Record>(R"({"Flags":6})").Flags), 6);
}

TEST(JsonMapping, InvalidEnumerationValuesAreErrors) {
    EXPECT_EQ(ReadFailure(R"({"Colour":"Purple"})"),
              "Error reading 'Colour': \"Purple\" is not a member name (Red, Green, BlueGreen)");
    EXPECT_NE(ReadFailure(R"({"Colour":1.5})"), "");
    EXPECT_NE(ReadFailure(R"({"Colour":4294967296})"), "");
    EXPECT_NE(ReadFailure(R"({"Colour":true})"), "");
    // An enumeration without member names accepts numbers only.
    EXPECT_EQ(ReadFailure(R"({"Flags":"Short"})"),
              "Error reading 'Flags': expected a number, got the string \"Short\"");
}

TEST(JsonMapping, WrongJsonTypesNameTheKeyAndTheValue) {
    EXPECT_EQ(ReadFailure(R"({"Small":"5"})"),
              "Error reading 'Small': expected a signed 32-bit integer, got the string \"5\"");
    EXPECT_EQ(ReadFailure(R"({"Small":1.5})"),
              "Error reading 'Small': expected a signed 32-bit integer, got the number 1.5");
    EXPECT_EQ(ReadFailure(R"({"Small":2147483648})"),
              "Error reading 'Small': the number 2147483648 is out of range for a signed 32-bit integer");
    EXPECT_EQ(ReadFailure(R"({"Tiny":-1})"),
              "Error reading 'Tiny': the number -1 is out of range for an unsigned 16-bit integer");
    EXPECT_EQ(ReadFailure(R"({"IsAlive":1})"),
              "Error reading 'IsAlive': expected a boolean, got the number 1");
    EXPECT_EQ(ReadFailure(R"({"Name":5})"), "Error reading 'Name': expected a string, got the number 5");
    EXPECT_EQ(ReadFailure(R"({"Tags":"a"})"),
              "Error reading 'Tags': expected an array, got the string \"a\"");
    EXPECT_EQ(ReadFailure(R"({"Range":1e300})"),
              "Error reading 'Range': the number 1e+300 is out of range for a 32-bit float");
    EXPECT_EQ(ReadFailure(R"({"Items":[{},{"Count":"x"}]})"),
              "Error reading 'Items[1].Count': expected a signed 32-bit integer, got the string \"x\"");
    EXPECT_EQ(ReadFailure(R"({"Nested":[]})"), "Error reading 'Nested': expected an object, got an array");
    EXPECT_EQ(ReadFailure("[]"), "expected an object, got an array");
}

TEST(JsonMapping, NumbersAcceptedAcrossJsonNumberForms) {
    auto record = ParseJson<Record>(R"({"Small":-3.0,"Big":18446744073709551615,"Range":2,"Precise":-1e-3})");
    EXPECT_EQ(record.Small, -3);
    EXPECT_EQ(record.Big, UINT64_MAX);
    EXPECT_FLOAT_EQ(record.Range, 2.0f);
    EXPECT_DOUBLE_EQ(record.Precise, -0.001);
}

TEST(JsonMapping, TheLargestFloatReadsBackAsWritten) {
    Record record;
    record.Range = std::numeric_limits<float>::max();
    const std::string text = SerializeJson(record);
    EXPECT_EQ(ParseJson<Record>(text).Range, std::numeric_limits<float>::max()) << text;
    EXPECT_EQ(ParseJson<Record>(R"({"Range":3.4028235e+38})").Range, std::numeric_limits<float>::max());
    EXPECT_EQ(ParseJson<Record>(R"({"Range":-3.4028235e+38})").Range, -std::numeric_limits<float>::max());
    // Beyond the rounding distance a value would be infinite as a float.
    EXPECT_EQ(ReadFailure(R"({"Range":3.4028236e+38})"),
              "Error reading 'Range': the number 3.4028236e+38 is out of range for a 32-bit float");
}

TEST(JsonMapping, NullHandling) {
    auto record = ParseJson<Record>(R"({"Name":null,"Tags":null,"Volume":null,"Nested":null})");
    EXPECT_EQ(record.Name, "");
    EXPECT_TRUE(record.Tags.empty());
    EXPECT_FALSE(record.Volume.has_value());
    EXPECT_FALSE(record.Nested.has_value());

    EXPECT_EQ(ParseJson<Record>(R"({"Volume":0.75})").Volume, std::optional<float>(0.75f));
    // No empty value exists for these, so null is refused rather than guessed.
    EXPECT_EQ(ReadFailure(R"({"Small":null})"),
              "Error reading 'Small': expected a signed 32-bit integer, got null");
    EXPECT_NE(ReadFailure(R"({"IsAlive":null})"), "");
    EXPECT_NE(ReadFailure(R"({"Colour":null})"), "");
    EXPECT_NE(ReadFailure(R"({"Fixed":null})"), "");
    EXPECT_EQ(ReadFailure("null"), "expected an object, got null");
}

TEST(JsonMapping, InvalidTextIsAnError) {
    EXPECT_NE(ReadFailure(""), "");
    EXPECT_NE(ReadFailure("{\"Name\":"), "");
    EXPECT_NE(ReadFailure("{} {}"), "");
    EXPECT_NE(ReadFailure("{'Name':'x'}"), "");
}

TEST(JsonMapping, WritesCompactInDeclarationOrder) {
    Record record;
    record.Name = "a\"b\\\n\x01";
    record.Volume = 1.6f;
    record.Items = {Inner{}};
    EXPECT_EQ(
        SerializeJson(record),
        R"({"Name":"a\"b\\\n\u0001","IsAlive":true,"Small":1,"Big":2,"Tiny":3,"Range":0.5,"Precise":0.25,)"
        R"("Colour":1,"Shade":"Light","Flags":1,"Tags":["a","b"],"Volume":1.6,"Nested":null,)"
        R"("Fixed":{"Count":7,"Label":"inner"},"Items":[{"Count":7,"Label":"inner"}]})");
}

TEST(JsonMapping, EnumerationsWrittenAsNamesFallBackToNumbers) {
    Record record;
    record.Shade = Shade::Dark;
    EXPECT_EQ(ToJsonValue(record).as_object().at("Shade"), "Dark");
    record.Shade = static_cast<Shade>(9);
    EXPECT_EQ(ToJsonValue(record).as_object().at("Shade"), 9);
}

TEST(JsonMapping, RoundTripThroughJsonValueAndText) {
    Record record;
    record.Name = "Jürgen";
    record.Small = -42;
    record.Big = UINT64_MAX;
    record.Range = 0.1f;
    record.Colour = Colour::BlueGreen;
    record.Shade = Shade::Dark;
    record.Nested = Inner{3, "n"};
    record.Items = {Inner{1, "x"}, Inner{2, "y"}};
    const std::string text = SerializeJson(record);
    EXPECT_EQ(SerializeJson(FromJson<Record>(ToJsonValue(record))), text);
    const auto reread = ParseJson<Record>(text);
    EXPECT_EQ(reread.Range, record.Range);
    EXPECT_EQ(reread.Name, record.Name);
    EXPECT_EQ(reread.Big, record.Big);
    EXPECT_EQ(SerializeJson(reread), text);
}

TEST(JsonMapping, NonFiniteFloatsAreWrittenAsNull) {
    Record record;
    record.Range = std::numeric_limits<float>::infinity();
    record.Precise = std::numeric_limits<double>::quiet_NaN();
    const auto json = ToJsonValue(record);
    EXPECT_TRUE(json.at("Range").is_null());
    EXPECT_TRUE(json.at("Precise").is_null());
}

TEST(JsonMapping, RawJsonValuesPassThrough) {
    const auto json = ParseJsonText(R"({"a":[1,{"b":null}]})");
    EXPECT_EQ(FromJson<boost::json::value>(json), json);
    EXPECT_EQ(FromJson<boost::json::object>(json), json.as_object());
    EXPECT_THROW(FromJson<boost::json::object>(ParseJsonText("[1]")), JsonError);
    EXPECT_EQ(FromJson<std::optional<boost::json::object>>(ParseJsonText("null")), std::nullopt);
}

TEST(JsonMapping, NullReadsAsDefaultOnlyForTextAndListsOfMarkedRecords) {
    using MappingTest::Defaults;
    auto record = ParseJson<Defaults>(R"({"pack":null,"Ids":null,"Owner":null})");
    EXPECT_EQ(record.Pack, "default");
    EXPECT_EQ(record.Ids, std::vector<std::uint64_t>{7});
    // An optional field keeps its own rule: null is "none", not the default.
    EXPECT_EQ(record.Owner, std::nullopt);
    // Explicit values, empty ones included, are taken as sent.
    record = ParseJson<Defaults>(R"({"Pack":"","Ids":[]})");
    EXPECT_EQ(record.Pack, "");
    EXPECT_TRUE(record.Ids.empty());
    EXPECT_THROW(ParseJson<Defaults>(R"({"Count":null})"), JsonError);
    EXPECT_THROW(ParseJson<Defaults>(R"({"Pack":4})"), JsonError);
    // Unmarked records read null text as empty.
    EXPECT_EQ(ParseJson<Record>(R"({"Name":null})").Name, "");
}

TEST(JsonMapping, NullKeysOmittedLeavesOutOnlyNullMembers) {
    MappingTest::Sparse record{"a", std::nullopt, 0.5f};
    EXPECT_EQ(SerializeJson(record), R"({"Name":"a","Level":0.5})");
    record.Relay = "b";
    EXPECT_EQ(SerializeJson(record), R"({"Name":"a","Relay":"b","Level":0.5})");
    // Unmarked records write null.
    EXPECT_NE(SerializeJson(Record{}).find(R"("Volume":null)"), std::string::npos);
}

} // namespace
