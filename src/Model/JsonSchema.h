#pragma once
// JSON Schemas (draft 2020-12) of the records, made from the same descriptions that JsonMapping
// reads and writes, so the published schemas cannot drift from the code. A schema describes a
// record's canonical form: the keys as the plugin writes them, and no others. The reader is more
// lenient (keys in any letter case, unknown keys ignored, missing keys defaulted); the schemas
// therefore accept nothing the plugin would refuse, and flag a misspelt key that it would
// silently ignore.

#include "Model/JsonMapping.h"
#include "Model/TSVectorJson.h"

#include <boost/describe/enumerators.hpp>
#include <boost/json/array.hpp>
#include <boost/json/object.hpp>
#include <boost/mp11/algorithm.hpp>

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

namespace Tralvonic::Model {

// JsonSchema<T>::Make() returns the schema of T's JSON form. Unsupported types have no definition.
template <class T, class Enable = void> struct JsonSchema;

namespace Detail {

// A pattern that matches the name in any ASCII letter case, as the reader does: "Ab" -> "[Aa][Bb]".
std::string CaseBlindPattern(std::string_view name);

template <class T> boost::json::value SchemaOf() {
    return JsonSchema<T>::Make();
}

} // namespace Detail

template <> struct JsonSchema<bool> {
    static boost::json::object Make() { return {{"type", "boolean"}}; }
};

template <class T> struct JsonSchema<T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>>> {
    static boost::json::object Make() {
        if constexpr (std::is_signed_v<T>) {
            return {{"type", "integer"},
                    {"minimum", static_cast<std::int64_t>(std::numeric_limits<T>::min())},
                    {"maximum", static_cast<std::int64_t>(std::numeric_limits<T>::max())}};
        } else {
            return {{"type", "integer"},
                    {"minimum", 0},
                    {"maximum", static_cast<std::uint64_t>(std::numeric_limits<T>::max())}};
        }
    }
};

// Any finite number; one beyond the type's range is refused by the reader.
template <class T> struct JsonSchema<T, std::enable_if_t<std::is_floating_point_v<T>>> {
    static boost::json::object Make() { return {{"type", "number"}}; }
};

// JSON null reads as empty text.
template <> struct JsonSchema<std::string> {
    static boost::json::object Make() { return {{"type", boost::json::array{"string", "null"}}}; }
};

// A number of the underlying type (flag combinations name no member) or a member name in any
// letter case; the description lists the members with their numbers.
template <class E> struct JsonSchema<E, std::enable_if_t<std::is_enum_v<E>>> {
    static boost::json::object Make() {
        using Underlying = std::underlying_type_t<E>;
        boost::json::object number = JsonSchema<Underlying>::Make();
        if constexpr (!boost::describe::has_describe_enumerators<E>::value) {
            return number;
        } else {
            std::string names;
            std::string description;
            boost::mp11::mp_for_each<boost::describe::describe_enumerators<E>>([&](auto member) {
                names += (names.empty() ? "" : "|") + Detail::CaseBlindPattern(member.name);
                description += (description.empty() ? "" : ", ") + std::string(member.name) + " = " +
                               std::to_string(static_cast<std::int64_t>(member.value));
            });
            boost::json::object name{{"type", "string"}, {"pattern", "^(?:" + names + ")$"}};
            return {{"description", description}, {"anyOf", boost::json::array{number, name}}};
        }
    }
};

template <class T> struct JsonSchema<std::optional<T>> {
    static boost::json::object Make() {
        return {{"anyOf", boost::json::array{Detail::SchemaOf<T>(), boost::json::object{{"type", "null"}}}}};
    }
};

// JSON null reads as an empty list.
template <class T> struct JsonSchema<std::vector<T>> {
    static boost::json::object Make() {
        return {{"type", boost::json::array{"array", "null"}}, {"items", Detail::SchemaOf<T>()}};
    }
};

// A part of a message whose record is chosen later (the envelope's parameter).
template <> struct JsonSchema<boost::json::object> {
    static boost::json::object Make() { return {{"type", "object"}}; }
};

template <> struct JsonSchema<TeamSpeak::TSVector> {
    static boost::json::object Make() {
        const boost::json::value component = JsonSchema<float>::Make();
        return {{"type", "object"},
                {"properties", boost::json::object{{"X", component}, {"Y", component}, {"Z", component}}},
                {"additionalProperties", false}};
    }
};

template <class T> struct JsonSchema<T, std::enable_if_t<Detail::IsRecord<T>>> {
    static boost::json::object Make() {
        boost::json::object properties;
        boost::mp11::mp_for_each<Detail::RecordMembers<T>>([&](auto member) {
            using Field = std::remove_cvref_t<decltype(std::declval<T&>().*member.pointer)>;
            boost::json::object field = JsonSchema<Field>::Make();
            if constexpr (NullReadsAsDefault<T> && Detail::IsTextOrList<Field>) {
                field["description"] = "null reads as the default";
            }
            properties[member.name] = std::move(field);
        });
        return {{"type", "object"}, {"properties", std::move(properties)}, {"additionalProperties", false}};
    }
};

} // namespace Tralvonic::Model
