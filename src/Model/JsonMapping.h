#pragma once
// The one mapping between records and JSON values. A record is a plain struct described once
// with BOOST_DESCRIBE_STRUCT (or BOOST_DESCRIBE_CLASS), an enumeration with
// BOOST_DESCRIBE_ENUM; JsonMapping<T> reads and writes every supported type from those
// descriptions, so a new field is one line and reader and writer cannot disagree.
//
// Reading: a record's keys are matched exactly first, then ignoring ASCII letter case; keys
// the record lacks are ignored; a missing key keeps the field's default; a present key
// replaces the field as a whole (lists are not merged). A value of the wrong JSON type, a
// fractional number for an integer or a number out of the field's range throws JsonError.
//
// JSON null: std::optional<T> reads it as nullopt. A plain text or list field reads it as
// empty text or an empty list, so a settings file with such a value is treated as changed
// and corrected where a guard protects the key; a record marked NullReadsAsDefault below
// reads it as the field's default instead. For a bool, number, enumeration or nested record
// null is an error: there is no empty value that could not be mistaken for real data.
//
// Writing: members in declaration order, nullopt as null (a record marked NullKeysOmitted
// leaves such keys out), enumerations as numbers unless the enumeration is marked
// EnumForm::Name below (a value without a member name stays a number).

#include "Model/JsonError.h"

#include <boost/describe/enum.hpp>
#include <boost/describe/enumerators.hpp>
#include <boost/describe/members.hpp>
#include <boost/describe/modifiers.hpp>
#include <boost/json/value.hpp>
#include <boost/mp11/algorithm.hpp>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace Tralvonic::Model {

enum class EnumForm { Number, Name };

// How values of an enumeration are written. The game protocol writes numbers; the settings
// file writes member names, so its enumerations specialise this to EnumForm::Name next to
// their description. Reading always accepts both forms.
template <class E> inline constexpr EnumForm EnumJsonForm = EnumForm::Number;

// Records whose text and list fields read JSON null as the field's default value rather than
// as empty, for messages whose null means "the usual" (a null sound pack is "default").
template <class T> inline constexpr bool NullReadsAsDefault = false;

// Records whose members that write as null are left out of the object altogether, for
// messages where an absent key and a null one mean different things to the reader.
template <class T> inline constexpr bool NullKeysOmitted = false;

// Read(json, target) fills target (a freshly constructed value) or throws JsonError;
// Write(value) returns the JSON value. Unsupported types have no definition.
template <class T, class Enable = void> struct JsonMapping;

namespace Detail {

// The value of key in object: the exact key if present, else the last key that equals it
// ignoring ASCII letter case (as with duplicate keys, the later one wins); null when absent.
const boost::json::value* FindMember(const boost::json::object& object, std::string_view key);
bool EqualsIgnoreCase(std::string_view left, std::string_view right);
// "null", "the string \"abc\"", "the number 1.5", "an array", ...
std::string DescribeValue(const boost::json::value& value);
[[noreturn]] void ThrowWrongType(std::string_view expected, const boost::json::value& value);
const boost::json::object& RequireObject(const boost::json::value& value);

std::int64_t ReadSigned(const boost::json::value& value, std::int64_t min, std::int64_t max, int bits);
std::uint64_t ReadUnsigned(const boost::json::value& value, std::uint64_t max, int bits);
double ReadFloating(const boost::json::value& value, double max, int bits);
// A float widened through its shortest decimal text, so 1.6f is written as 1.6 and not as
// the double 1.600000023841858. Non-finite values become null (JSON has no form for them).
boost::json::value WriteFloat(float value);
boost::json::value WriteDouble(double value);

template <class T> T ReadFresh(const boost::json::value& json) {
    T result{};
    JsonMapping<T>::Read(json, result);
    return result;
}

template <class T> inline constexpr bool IsTextOrList = std::is_same_v<T, std::string>;
template <class T> inline constexpr bool IsTextOrList<std::vector<T>> = true;

template <class T>
inline constexpr bool IsRecord = std::is_class_v<T>&& boost::describe::has_describe_members<T>::value;

template <class T>
using RecordMembers =
    boost::describe::describe_members<T, boost::describe::mod_any_access | boost::describe::mod_inherited>;

} // namespace Detail

template <> struct JsonMapping<bool> {
    static void Read(const boost::json::value& json, bool& target) {
        if (!json.is_bool())
            Detail::ThrowWrongType("a boolean", json);
        target = json.get_bool();
    }
    static boost::json::value Write(bool value) { return value; }
};

template <class T>
struct JsonMapping<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>> {
    static void Read(const boost::json::value& json, T& target) {
        constexpr int bits = std::numeric_limits<T>::digits + (std::is_signed_v<T> ? 1 : 0);
        if constexpr (std::is_signed_v<T>) {
            target = static_cast<T>(
                Detail::ReadSigned(json, std::numeric_limits<T>::min(), std::numeric_limits<T>::max(), bits));
        } else {
            target = static_cast<T>(Detail::ReadUnsigned(json, std::numeric_limits<T>::max(), bits));
        }
    }
    static boost::json::value Write(T value) {
        if constexpr (std::is_signed_v<T>) {
            return static_cast<std::int64_t>(value);
        } else {
            return static_cast<std::uint64_t>(value);
        }
    }
};

template <class T> struct JsonMapping<T, std::enable_if_t<std::is_floating_point_v<T>>> {
    static void Read(const boost::json::value& json, T& target) {
        target = static_cast<T>(
            Detail::ReadFloating(json, static_cast<double>(std::numeric_limits<T>::max()), sizeof(T) * 8));
    }
    static boost::json::value Write(T value) {
        if constexpr (std::is_same_v<T, float>) {
            return Detail::WriteFloat(value);
        } else {
            return Detail::WriteDouble(static_cast<double>(value));
        }
    }
};

template <> struct JsonMapping<std::string> {
    static void Read(const boost::json::value& json, std::string& target) {
        if (json.is_null()) {
            target.clear();
            return;
        }
        if (!json.is_string())
            Detail::ThrowWrongType("a string", json);
        target.assign(json.get_string().data(), json.get_string().size());
    }
    static boost::json::value Write(const std::string& value) { return boost::json::string(value); }
};

// Enumerations: read from an integer of the underlying type (also one that names no member,
// as flag combinations do) or from a member name in any letter case.
template <class E> struct JsonMapping<E, std::enable_if_t<std::is_enum_v<E>>> {
    using Underlying = std::underlying_type_t<E>;
    static constexpr bool Described = boost::describe::has_describe_enumerators<E>::value;

    static void Read(const boost::json::value& json, E& target) {
        if constexpr (Described) {
            if (json.is_string()) {
                target = FromName(json.get_string());
                return;
            }
        }
        if (!json.is_number()) {
            Detail::ThrowWrongType(Described ? "a number or a member name" : "a number", json);
        }
        Underlying number{};
        JsonMapping<Underlying>::Read(json, number);
        target = static_cast<E>(number);
    }

    static boost::json::value Write(E value) {
        if constexpr (Described && EnumJsonForm<E> == EnumForm::Name) {
            const char* name = nullptr;
            boost::mp11::mp_for_each<boost::describe::describe_enumerators<E>>([&](auto member) {
                if (name == nullptr && member.value == value)
                    name = member.name;
            });
            if (name != nullptr)
                return boost::json::string(name);
        }
        return JsonMapping<Underlying>::Write(static_cast<Underlying>(value));
    }

private:
    static E FromName(std::string_view text) {
        std::optional<E> exact;
        std::optional<E> folded;
        std::string names;
        boost::mp11::mp_for_each<boost::describe::describe_enumerators<E>>([&](auto member) {
            if (!exact && text == member.name)
                exact = member.value;
            if (!folded && Detail::EqualsIgnoreCase(text, member.name))
                folded = member.value;
            names += names.empty() ? "" : ", ";
            names += member.name;
        });
        if (exact)
            return *exact;
        if (folded)
            return *folded;
        throw JsonError("\"" + std::string(text) + "\" is not a member name (" + names + ")");
    }
};

template <class T> struct JsonMapping<std::optional<T>> {
    static void Read(const boost::json::value& json, std::optional<T>& target) {
        if (json.is_null()) {
            target.reset();
            return;
        }
        target = Detail::ReadFresh<T>(json);
    }
    static boost::json::value Write(const std::optional<T>& value) {
        if (!value)
            return nullptr;
        return JsonMapping<T>::Write(*value);
    }
};

template <class T> struct JsonMapping<std::vector<T>> {
    static void Read(const boost::json::value& json, std::vector<T>& target) {
        target.clear();
        if (json.is_null())
            return;
        if (!json.is_array())
            Detail::ThrowWrongType("an array", json);
        const auto& array = json.get_array();
        target.reserve(array.size());
        for (std::size_t index = 0; index < array.size(); ++index) {
            try {
                target.push_back(Detail::ReadFresh<T>(array[index]));
            } catch (JsonError& error) {
                error.PrependIndex(index);
                throw;
            }
        }
    }
    static boost::json::value Write(const std::vector<T>& values) {
        boost::json::array array;
        array.reserve(values.size());
        for (const auto& value : values)
            array.push_back(JsonMapping<T>::Write(value));
        return array;
    }
};

// Raw JSON kept as it is, for parts of a message whose record is chosen later.
template <> struct JsonMapping<boost::json::value> {
    static void Read(const boost::json::value& json, boost::json::value& target) { target = json; }
    static boost::json::value Write(const boost::json::value& value) { return value; }
};

template <> struct JsonMapping<boost::json::object> {
    static void Read(const boost::json::value& json, boost::json::object& target) {
        target = Detail::RequireObject(json);
    }
    static boost::json::value Write(const boost::json::object& value) { return value; }
};

template <class T> struct JsonMapping<T, std::enable_if_t<Detail::IsRecord<T>>> {
    static void Read(const boost::json::value& json, T& target) {
        ReadObject(Detail::RequireObject(json), target);
    }

    static void ReadObject(const boost::json::object& object, T& target) {
        boost::mp11::mp_for_each<Detail::RecordMembers<T>>([&](auto member) {
            const boost::json::value* field = Detail::FindMember(object, member.name);
            if (field == nullptr)
                return;
            using Field = std::remove_cvref_t<decltype(target.*member.pointer)>;
            if constexpr (NullReadsAsDefault<T> && Detail::IsTextOrList<Field>) {
                if (field->is_null()) {
                    target.*member.pointer = T{}.*member.pointer;
                    return;
                }
            }
            try {
                ReadField(*field, target.*member.pointer);
            } catch (JsonError& error) {
                error.PrependKey(member.name);
                throw;
            }
        });
    }

    static boost::json::value Write(const T& value) {
        boost::json::object object;
        boost::mp11::mp_for_each<Detail::RecordMembers<T>>([&](auto member) {
            using Field = std::remove_cvref_t<decltype(value.*member.pointer)>;
            boost::json::value json = JsonMapping<Field>::Write(value.*member.pointer);
            if constexpr (NullKeysOmitted<T>) {
                if (json.is_null())
                    return;
            }
            object.emplace(member.name, std::move(json));
        });
        return object;
    }

private:
    // A present key replaces the field as a whole; fields that cannot be replaced (a record
    // that owns a mutex, say) are filled in place.
    template <class Field> static void ReadField(const boost::json::value& json, Field& field) {
        if constexpr (std::is_default_constructible_v<Field> && std::is_move_assignable_v<Field>) {
            field = Detail::ReadFresh<Field>(json);
        } else {
            JsonMapping<Field>::Read(json, field);
        }
    }
};

} // namespace Tralvonic::Model
