#include "Model/JsonText.h"

#include "Model/JsonError.h"

#include <boost/json/monotonic_resource.hpp>
#include <boost/json/stream_parser.hpp>

#include <charconv>
#include <cmath>

namespace Tralvonic::Model {
namespace {

constexpr char HexDigits[] = "0123456789abcdef";

void AppendEscaped(std::string& out, std::string_view text) {
    out += '"';
    for (char c : text) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                out += "\\u00";
                out += HexDigits[(c >> 4) & 0xF];
                out += HexDigits[c & 0xF];
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

template <class Number> void AppendNumber(std::string& out, Number number) {
    char buffer[32];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    out.append(buffer, result.ptr);
}

void AppendValue(std::string& out, const boost::json::value& json) {
    switch (json.kind()) {
    case boost::json::kind::null:
        out += "null";
        break;
    case boost::json::kind::bool_:
        out += json.get_bool() ? "true" : "false";
        break;
    case boost::json::kind::int64:
        AppendNumber(out, json.get_int64());
        break;
    case boost::json::kind::uint64:
        AppendNumber(out, json.get_uint64());
        break;
    case boost::json::kind::double_:
        if (std::isfinite(json.get_double())) {
            AppendNumber(out, json.get_double());
        } else {
            out += "null";
        }
        break;
    case boost::json::kind::string:
        AppendEscaped(out, json.get_string());
        break;
    case boost::json::kind::array: {
        out += '[';
        bool first = true;
        for (const auto& element : json.get_array()) {
            if (!first)
                out += ',';
            first = false;
            AppendValue(out, element);
        }
        out += ']';
        break;
    }
    case boost::json::kind::object: {
        out += '{';
        bool first = true;
        for (const auto& entry : json.get_object()) {
            if (!first)
                out += ',';
            first = false;
            AppendEscaped(out, entry.key());
            out += ':';
            AppendValue(out, entry.value());
        }
        out += '}';
        break;
    }
    }
}

} // namespace

boost::json::value ParseJsonText(std::string_view text) {
    boost::json::stream_parser parser;
    // One arena per text: a BulkUpdate's hundreds of small objects, keys and numbers come
    // from a few blocks instead of an allocation each, and all go when the value goes.
    parser.reset(boost::json::make_shared_resource<boost::json::monotonic_resource>());
    boost::system::error_code error;
    const std::size_t consumed = parser.write(text.data(), text.size(), error);
    if (!error)
        parser.finish(error);
    if (error) {
        throw JsonError("The text is not valid JSON (" + error.message() + ") at offset " +
                        std::to_string(consumed));
    }
    return parser.release();
}

std::string WriteJsonText(const boost::json::value& json) {
    std::string out;
    AppendValue(out, json);
    return out;
}

} // namespace Tralvonic::Model
