#include "Model/JsonMapping.h"

#include <charconv>
#include <cmath>

namespace Tralvonic::Model::Detail {
namespace {

constexpr std::size_t MaxQuotedTextLength = 64;

char FoldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string FormatDouble(double value) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string IntegerName(bool isSigned, int bits) {
    return std::string(isSigned ? "a signed " : "an unsigned ") + std::to_string(bits) + "-bit integer";
}

[[noreturn]] void ThrowOutOfRange(const boost::json::value& value, std::string_view typeName) {
    throw JsonError(DescribeValue(value) + " is out of range for " + std::string(typeName));
}

// An integral double within [min, max]; the bounds are compared as doubles, where
// max + 1 is exact for every width used (a power of two).
double RequireIntegralDouble(const boost::json::value& value, double min, double maxPlusOne,
                             std::string_view typeName) {
    const double number = value.get_double();
    if (!std::isfinite(number) || number != std::trunc(number)) {
        throw JsonError("expected " + std::string(typeName) + ", got " + DescribeValue(value));
    }
    if (number < min || number >= maxPlusOne)
        ThrowOutOfRange(value, typeName);
    return number;
}

} // namespace

bool EqualsIgnoreCase(std::string_view left, std::string_view right) {
    if (left.size() != right.size())
        return false;
    for (std::size_t i = 0; i < left.size(); ++i) {
        if (FoldAscii(left[i]) != FoldAscii(right[i]))
            return false;
    }
    return true;
}

const boost::json::value* FindMember(const boost::json::object& object, std::string_view key) {
    if (const auto* exact = object.if_contains(key))
        return exact;
    const boost::json::value* folded = nullptr;
    for (const auto& entry : object) {
        if (EqualsIgnoreCase(entry.key(), key))
            folded = &entry.value();
    }
    return folded;
}

std::string DescribeValue(const boost::json::value& value) {
    switch (value.kind()) {
    case boost::json::kind::null:
        return "null";
    case boost::json::kind::bool_:
        return value.get_bool() ? "the boolean true" : "the boolean false";
    case boost::json::kind::int64:
        return "the number " + std::to_string(value.get_int64());
    case boost::json::kind::uint64:
        return "the number " + std::to_string(value.get_uint64());
    case boost::json::kind::double_:
        return "the number " + FormatDouble(value.get_double());
    case boost::json::kind::string: {
        std::string_view text = value.get_string();
        if (text.size() <= MaxQuotedTextLength)
            return "the string \"" + std::string(text) + "\"";
        return "the string \"" + std::string(text.substr(0, MaxQuotedTextLength)) + "...\"";
    }
    case boost::json::kind::array:
        return "an array";
    case boost::json::kind::object:
        return "an object";
    }
    return "an unknown value";
}

void ThrowWrongType(std::string_view expected, const boost::json::value& value) {
    throw JsonError("expected " + std::string(expected) + ", got " + DescribeValue(value));
}

const boost::json::object& RequireObject(const boost::json::value& value) {
    if (!value.is_object())
        ThrowWrongType("an object", value);
    return value.get_object();
}

std::int64_t ReadSigned(const boost::json::value& value, std::int64_t min, std::int64_t max, int bits) {
    const std::string typeName = IntegerName(true, bits);
    switch (value.kind()) {
    case boost::json::kind::int64: {
        const auto number = value.get_int64();
        if (number < min || number > max)
            ThrowOutOfRange(value, typeName);
        return number;
    }
    case boost::json::kind::uint64:
        if (value.get_uint64() > static_cast<std::uint64_t>(max))
            ThrowOutOfRange(value, typeName);
        return static_cast<std::int64_t>(value.get_uint64());
    case boost::json::kind::double_:
        return static_cast<std::int64_t>(
            RequireIntegralDouble(value, static_cast<double>(min), static_cast<double>(max) + 1.0, typeName));
    default:
        ThrowWrongType(typeName, value);
    }
}

std::uint64_t ReadUnsigned(const boost::json::value& value, std::uint64_t max, int bits) {
    const std::string typeName = IntegerName(false, bits);
    switch (value.kind()) {
    case boost::json::kind::int64:
        if (value.get_int64() < 0 || static_cast<std::uint64_t>(value.get_int64()) > max) {
            ThrowOutOfRange(value, typeName);
        }
        return static_cast<std::uint64_t>(value.get_int64());
    case boost::json::kind::uint64:
        if (value.get_uint64() > max)
            ThrowOutOfRange(value, typeName);
        return value.get_uint64();
    case boost::json::kind::double_:
        return static_cast<std::uint64_t>(
            RequireIntegralDouble(value, 0.0, static_cast<double>(max) + 1.0, typeName));
    default:
        ThrowWrongType(typeName, value);
    }
}

double ReadFloating(const boost::json::value& value, double max, int bits) {
    const std::string typeName = "a " + std::to_string(bits) + "-bit float";
    double number = 0.0;
    switch (value.kind()) {
    case boost::json::kind::int64:
        number = static_cast<double>(value.get_int64());
        break;
    case boost::json::kind::uint64:
        number = static_cast<double>(value.get_uint64());
        break;
    case boost::json::kind::double_:
        number = value.get_double();
        break;
    default:
        ThrowWrongType(typeName, value);
    }
    if (!std::isfinite(number))
        ThrowOutOfRange(value, typeName);
    if (std::fabs(number) > max) {
        // The shortest text of the largest float ("3.4028235e+38", as the plugin writes it)
        // reads as a double just above it. What rounds to a finite float is that float: up to
        // half a unit in the last place beyond the largest one (2^103 for 32 bits).
        const double halfUnit = bits == 32 ? std::ldexp(1.0, 103) : 0.0;
        if (std::fabs(number) >= max + halfUnit)
            ThrowOutOfRange(value, typeName);
        number = std::copysign(max, number);
    }
    return number;
}

boost::json::value WriteFloat(float value) {
    if (!std::isfinite(value))
        return nullptr;
    char buffer[32];
    auto written = std::to_chars(buffer, buffer + sizeof buffer, value);
    double widened = 0.0;
    std::from_chars(buffer, written.ptr, widened);
    return widened;
}

boost::json::value WriteDouble(double value) {
    if (!std::isfinite(value))
        return nullptr;
    return value;
}

} // namespace Tralvonic::Model::Detail
