#pragma once
// The operating system behind Platform: on Linux dlopen, dladdr, Qt message boxes and
// xdg-open (NativePlatform*.cpp); on Windows LoadLibraryW, the module handle, MessageBoxW,
// ShellExecuteW and the uninstall registry (NativePlatform*Win32.cpp).

#include "core/Platform.h"

namespace Tralvonic {

class NativePlatform final : public Platform {
public:
    MessageBoxResult ShowMessageBox(std::string_view caption, std::string_view text,
                                    MessageBoxButtons buttons, MessageBoxIcon icon) override;
    void OpenAddress(std::string_view address) override;
    bool IsSoftwareInstalled(std::string_view softwareName) override;
    std::string PluginDirectory() override;
    bool FileExists(const std::string& path) override;
    std::unique_ptr<NativeLibrary> OpenLibrary(const std::string& path, std::string& error) override;
};

} // namespace Tralvonic
