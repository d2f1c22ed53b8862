#pragma once
// The folder that holds the running program, where tralvonic-host looks for the plugin it
// loads by default. /proc/self/exe on Linux, the module's file name on Windows.

#include <filesystem>
#include <string>

namespace Tralvonic::Sim::Host {

// The current folder when the program's own file cannot be found.
std::filesystem::path ProgramDirectory();
// A path as UTF-8 text for printing.
std::string PathText(const std::filesystem::path& path);

} // namespace Tralvonic::Sim::Host
