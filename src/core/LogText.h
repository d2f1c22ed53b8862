#pragma once
// Log lines carry text from the game (names, file names, whole messages) and from web pages
// (origins). A line break or another control character in such text could forge log lines
// or garble the host's log, so every line is escaped on its way out.

#include <string>
#include <string_view>

namespace Tralvonic {

// True when the text holds a C0 or C1 control character (in UTF-8) or DEL.
bool HasControlCharacters(std::string_view text);

// The text with every control character written out: "\n", "\r", "\t", else "\x1B" for a
// single byte or "\u0085" for a C1 control. Other bytes, valid UTF-8 or not, pass unchanged.
std::string EscapeControlCharacters(std::string_view text);

} // namespace Tralvonic
