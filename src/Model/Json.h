#pragma once
// What a record file includes: the mapping layer, the mappings of shared value types, and the
// entry points between records, JSON values and JSON text. Every failure is a JsonError.

#include "Model/JsonError.h"
#include "Model/JsonMapping.h"
#include "Model/JsonText.h"
#include "Model/TSVectorJson.h"

#include <boost/describe/class.hpp>
#include <boost/json/value.hpp>

#include <string>
#include <string_view>

namespace Tralvonic::Model {

// Fills an existing, freshly constructed object: for records that cannot be moved.
template <class T> void ReadJson(const boost::json::value& json, T& target) {
    JsonMapping<T>::Read(json, target);
}

template <class T> T FromJson(const boost::json::value& json) {
    T result{};
    JsonMapping<T>::Read(json, result);
    return result;
}

// A record straight from an object, without first making a JSON value (a copy) of it.
template <class T> T FromJsonObject(const boost::json::object& object) {
    T result{};
    JsonMapping<T>::ReadObject(object, result);
    return result;
}

template <class T> boost::json::value ToJsonValue(const T& value) {
    return JsonMapping<T>::Write(value);
}

template <class T> T ParseJson(std::string_view text) {
    return FromJson<T>(ParseJsonText(text));
}

template <class T> std::string SerializeJson(const T& value) {
    return WriteJsonText(ToJsonValue(value));
}

} // namespace Tralvonic::Model
