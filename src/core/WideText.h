#pragma once
// UTF-8, the plugin's text everywhere, to and from UTF-16, the text of every Win32 call. Each
// call into Windows converts at its own boundary; nothing else in the plugin sees UTF-16.
// Bytes that are not UTF-8 become U+FFFD rather than an error: a box or a path with a
// replaced character beats none at all. Windows only.

#include <string>
#include <string_view>

namespace Tralvonic {

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

} // namespace Tralvonic
