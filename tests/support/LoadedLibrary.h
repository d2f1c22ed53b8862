#pragma once
// What a test learns from a library that the plugin has loaded into the test process, without
// loading it a second time: whether it is there, and the text one of its exports returns
// (the stand-in voice library's record of its calls). dlopen's RTLD_NOLOAD on Linux
// (LoadedLibraryPosix.cpp), the loaded module's handle on Windows (LoadedLibraryWin32.cpp).

#include <filesystem>
#include <optional>
#include <string>

namespace Tralvonic::Testing {

bool IsLibraryLoaded(const std::filesystem::path& path);
// The text that the export `function` (const char* (*)()) returns; absent when the library is
// not loaded or lacks the export.
std::optional<std::string> CallLoadedTextFunction(const std::filesystem::path& path, const char* function);

} // namespace Tralvonic::Testing
