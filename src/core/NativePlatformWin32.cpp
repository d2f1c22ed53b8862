// The Windows half of NativePlatform that needs no desktop: the plugin's own folder, files,
// and loading the voice-effect library. Every path is UTF-8 in the plugin and UTF-16 here.

#include "core/NativePlatform.h"

#include "core/SystemErrorText.h"
#include "core/UninstallRegistry.h"
#include "core/WideText.h"

#include <windows.h>

#include <string>

namespace Tralvonic {

namespace {

class DynamicLibrary final : public NativeLibrary {
public:
    explicit DynamicLibrary(HMODULE handle) : _handle(handle) {}
    ~DynamicLibrary() override { FreeLibrary(_handle); }
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    void* Symbol(const char* name) const override {
        return reinterpret_cast<void*>(GetProcAddress(_handle, name));
    }

private:
    HMODULE _handle;
};

// Any address inside this module: the loader names the file it mapped it from.
void AnchorSymbol() {}

// The module's file name, however long: GetModuleFileNameW cuts it without saying so but by
// filling the whole buffer.
std::wstring ModuleFileName(HMODULE module) {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(module, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            return {};
        }
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        if (name.size() >= 32768) {
            return {};
        }
        name.resize(name.size() * 2);
    }
}

} // namespace

std::string NativePlatform::PluginDirectory() {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&AnchorSymbol), &module)) {
        return {};
    }
    const std::wstring file = ModuleFileName(module);
    const auto separator = file.find_last_of(L"\\/");
    if (separator == std::wstring::npos) {
        return {};
    }
    return Utf8FromWide(std::wstring_view(file).substr(0, separator));
}

bool NativePlatform::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::unique_ptr<NativeLibrary> NativePlatform::OpenLibrary(const std::string& path, std::string& error) {
    HMODULE handle = LoadLibraryW(WideFromUtf8(path).c_str());
    if (handle == nullptr) {
        error = "Cannot load " + path + ": " + SystemErrorText(GetLastError());
        return nullptr;
    }
    return std::make_unique<DynamicLibrary>(handle);
}

bool NativePlatform::IsSoftwareInstalled(std::string_view softwareName) {
    return IsInUninstallRegistry(softwareName);
}

} // namespace Tralvonic
