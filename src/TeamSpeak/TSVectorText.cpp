#include "TeamSpeak/TSVector.h"

#include "TeamSpeak/ArgumentError.h"

#include <cctype>
#include <ostream>
#include <sstream>

namespace TeamSpeak {

namespace {

// One printf-style floating conversion, carried out with a stream so that the locale
// applies and no user text ever reaches a printf-family function.
struct ComponentFormat {
    std::string Prefix;
    std::string Suffix;
    std::ios_base::fmtflags Flags{};
    std::streamsize Width = 0;
    std::streamsize Precision = 6;
    char Fill = ' ';
};

ArgumentError BadFormat() {
    return ArgumentError("format",
                         "The format must hold exactly one floating-point conversion such as \"%.2f\".");
}

std::streamsize ReadNumber(std::string_view format, std::size_t& position) {
    std::streamsize number = 0;
    for (; position < format.size() && std::isdigit(static_cast<unsigned char>(format[position]));
         ++position) {
        number = number * 10 + (format[position] - '0');
        if (number > 1000) {
            throw BadFormat();
        }
    }
    return number;
}

void ReadFlags(std::string_view format, std::size_t& position, ComponentFormat& result) {
    bool zeroPad = false;
    for (; position < format.size(); ++position) {
        switch (format[position]) {
        case '-':
            result.Flags |= std::ios_base::left;
            continue;
        case '+':
            result.Flags |= std::ios_base::showpos;
            continue;
        case '#':
            result.Flags |= std::ios_base::showpoint;
            continue;
        case '0':
            zeroPad = true;
            continue;
        default:
            break;
        }
        break;
    }
    // As in printf, left alignment overrides zero padding.
    if (zeroPad && !(result.Flags & std::ios_base::left)) {
        result.Flags |= std::ios_base::internal;
        result.Fill = '0';
    }
}

void ReadConversion(char conversion, ComponentFormat& result) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(conversion)));
    if (lower != conversion) {
        result.Flags |= std::ios_base::uppercase;
    }
    switch (lower) {
    case 'f':
        result.Flags |= std::ios_base::fixed;
        return;
    case 'e':
        result.Flags |= std::ios_base::scientific;
        return;
    case 'g':
        return;
    case 'a':
        result.Flags |= std::ios_base::fixed | std::ios_base::scientific;
        return;
    default:
        throw BadFormat();
    }
}

// Literal text up to the next conversion (or the end), with %% turned into %.
std::string ReadLiteral(std::string_view format, std::size_t& position) {
    std::string literal;
    for (; position < format.size(); ++position) {
        if (format[position] != '%') {
            literal += format[position];
        } else if (position + 1 < format.size() && format[position + 1] == '%') {
            literal += '%';
            ++position;
        } else {
            break;
        }
    }
    return literal;
}

ComponentFormat ParseFormat(std::string_view format) {
    ComponentFormat result;
    std::size_t position = 0;
    result.Prefix = ReadLiteral(format, position);
    if (position == format.size()) {
        throw BadFormat();
    }
    ++position;
    ReadFlags(format, position, result);
    result.Width = ReadNumber(format, position);
    if (position < format.size() && format[position] == '.') {
        ++position;
        result.Precision = ReadNumber(format, position);
    }
    if (position == format.size()) {
        throw BadFormat();
    }
    ReadConversion(format[position++], result);
    result.Suffix = ReadLiteral(format, position);
    if (position != format.size()) {
        throw BadFormat();
    }
    return result;
}

void WriteComponent(std::ostream& stream, float value, const ComponentFormat& format) {
    stream << format.Prefix;
    stream.flags(format.Flags);
    stream.precision(format.Precision);
    stream.fill(format.Fill);
    stream.width(format.Width);
    stream << value << format.Suffix;
}

std::string Compose(const TSVector& vector, const ComponentFormat& format, const std::locale& locale) {
    std::ostringstream text;
    text.imbue(locale);
    text << "X:";
    WriteComponent(text, vector.X, format);
    text << " Y:";
    WriteComponent(text, vector.Y, format);
    text << " Z:";
    WriteComponent(text, vector.Z, format);
    return text.str();
}

} // namespace

std::string TSVector::ToString() const {
    return ToString(std::locale());
}

std::string TSVector::ToString(const std::locale& locale) const {
    return Compose(*this, {}, locale);
}

std::string TSVector::ToString(std::string_view format) const {
    return ToString(format, std::locale());
}

std::string TSVector::ToString(std::string_view format, const std::locale& locale) const {
    return Compose(*this, ParseFormat(format), locale);
}

std::ostream& operator<<(std::ostream& stream, const TSVector& value) {
    return stream << value.ToString(stream.getloc());
}

} // namespace TeamSpeak
