#include "support/LoadedLibrary.h"

#include <dlfcn.h>

namespace Tralvonic::Testing {

bool IsLibraryLoaded(const std::filesystem::path& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return false;
    }
    dlclose(handle);
    return true;
}

std::optional<std::string> CallLoadedTextFunction(const std::filesystem::path& path, const char* function) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) {
        return std::nullopt;
    }
    auto text = reinterpret_cast<const char* (*)()>(dlsym(handle, function));
    std::optional<std::string> result;
    if (text != nullptr) {
        result = text();
    }
    dlclose(handle);
    return result;
}

} // namespace Tralvonic::Testing
