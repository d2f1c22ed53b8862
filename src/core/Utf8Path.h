#pragma once
// Paths are UTF-8 text throughout the plugin. std::filesystem reads a narrow string in the
// system's code page on Windows, which garbles every name outside it, so text becomes a path
// and a path becomes text only through these two, on every platform.

#include <filesystem>
#include <string>
#include <string_view>

namespace Tralvonic {

std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

} // namespace Tralvonic
