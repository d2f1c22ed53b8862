#include "core/NativePlatform.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <string>

namespace Tralvonic {

namespace {

class DynamicLibrary final : public NativeLibrary {
public:
    explicit DynamicLibrary(void* handle) : _handle(handle) {}
    ~DynamicLibrary() override { dlclose(_handle); }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    void* Symbol(const char* name) const override { return dlsym(_handle, name); }

private:
    void* _handle;
};

// The libraries a C++ shared library built with g++ needs besides the C library.
constexpr const char* CxxRuntimeLibraries[] = {"libstdc++.so.6", "libgcc_s.so.1", "libm.so.6"};

// Any symbol of this library: dladdr on it names the file the loader mapped us from.
void AnchorSymbol() {}

} // namespace

bool NativePlatform::IsSoftwareInstalled(std::string_view softwareName) {
    // On Linux "installed" means the loader can resolve the runtime the effect library
    // links against; there is no uninstall registry to search.
    if (softwareName != RuntimeSearchName()) {
        return false;
    }
    for (const char* library : CxxRuntimeLibraries) {
        void* handle = dlopen(library, RTLD_LAZY | RTLD_LOCAL);
        if (handle == nullptr) {
            return false;
        }
        dlclose(handle);
    }
    return true;
}

std::string NativePlatform::PluginDirectory() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&AnchorSymbol), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    std::string path = info.dli_fname;
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool NativePlatform::FileExists(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::unique_ptr<NativeLibrary> NativePlatform::OpenLibrary(const std::string& path, std::string& error) {
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = reason != nullptr ? reason : "unknown loader error";
        return nullptr;
    }
    return std::make_unique<DynamicLibrary>(handle);
}

} // namespace Tralvonic
