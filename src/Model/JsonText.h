#pragma once
// JSON text in and out: parsing with a readable failure, and compact writing in member
// order with numbers in their shortest round-trip form (Boost's own serializer would write
// 1.6f as 1.600000023841858E0).

#include <boost/json/value.hpp>

#include <string>
#include <string_view>

namespace Tralvonic::Model {

// Throws JsonError when the text is not one complete JSON value (an empty text included).
boost::json::value ParseJsonText(std::string_view text);

// Compact: no spaces or line breaks. Non-ASCII text is written as it is (UTF-8).
std::string WriteJsonText(const boost::json::value& json);

} // namespace Tralvonic::Model
