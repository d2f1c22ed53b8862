#include "core/LogText.h"

#include <array>

namespace Tralvonic {

namespace {

constexpr bool IsSingleByteControl(unsigned char c) {
    return c < 0x20 || c == 0x7F;
}

// C1 controls U+0080..U+009F are the two bytes C2 80..C2 9F.
constexpr bool IsC1Control(std::string_view text, std::size_t at) {
    return static_cast<unsigned char>(text[at]) == 0xC2 && at + 1 < text.size() &&
           static_cast<unsigned char>(text[at + 1]) >= 0x80 &&
           static_cast<unsigned char>(text[at + 1]) <= 0x9F;
}

constexpr std::array<char, 16> HexDigits{'0', '1', '2', '3', '4', '5', '6', '7',
                                         '8', '9', 'A', 'B', 'C', 'D', 'E', 'F'};

void AppendHex(std::string& out, unsigned char value) {
    out += HexDigits[value >> 4];
    out += HexDigits[value & 0x0F];
}

} // namespace

bool HasControlCharacters(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsSingleByteControl(static_cast<unsigned char>(text[i])) || IsC1Control(text, i))
            return true;
    }
    return false;
}

std::string EscapeControlCharacters(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 16);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (IsC1Control(text, i)) {
            out += "\\u00";
            AppendHex(out, static_cast<unsigned char>(text[++i]));
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (IsSingleByteControl(c)) {
            out += "\\x";
            AppendHex(out, c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

} // namespace Tralvonic
