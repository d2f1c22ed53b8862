#include "support/LoadedLibrary.h"

#include <windows.h>

namespace Tralvonic::Testing {

// The handle of a module already loaded, without a reference of its own: nothing to release.
bool IsLibraryLoaded(const std::filesystem::path& path) {
    return GetModuleHandleW(path.c_str()) != nullptr;
}

std::optional<std::string> CallLoadedTextFunction(const std::filesystem::path& path, const char* function) {
    HMODULE module = GetModuleHandleW(path.c_str());
    if (module == nullptr) {
        return std::nullopt;
    }
    auto text =
        reinterpret_cast<const char* (*)()>(reinterpret_cast<void*>(GetProcAddress(module, function)));
    if (text == nullptr) {
        return std::nullopt;
    }
    return std::string(text());
}

} // namespace Tralvonic::Testing
