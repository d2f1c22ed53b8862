#include "core/Platform.h"

#include "core/NativePlatform.h"

#include <atomic>

namespace Tralvonic {

namespace {

std::atomic<Platform*> installedPlatform{nullptr};

} // namespace

Platform& Platform::Current() {
    if (Platform* platform = installedPlatform.load(std::memory_order_acquire)) {
        return *platform;
    }
    static NativePlatform native;
    return native;
}

void Platform::SetCurrent(Platform* platform) {
    installedPlatform.store(platform, std::memory_order_release);
}

std::string Platform::JoinPath(std::string_view directory, std::string_view name) {
#ifdef _WIN32
    constexpr char separator = '\\';
#else
    constexpr char separator = '/';
#endif
    std::string path(directory);
    if (!path.empty() && path.back() != separator) {
        path += separator;
    }
    path += name;
    return path;
}

std::string_view Platform::EffectLibraryFileName() {
#ifdef _WIN32
    return "VoiceDistortion_win64.dll";
#else
    return "VoiceDistortion_linux_amd64.so";
#endif
}

std::string_view Platform::RuntimeName() {
#ifdef _WIN32
    return "Microsoft Visual C++ 2015-2019 Redistributable";
#else
    return "GNU C++ Runtime (libstdc++6)";
#endif
}

std::string_view Platform::RuntimeDownloadAddress() {
#ifdef _WIN32
    return "https://aka.ms/vs/16/release/vc_redist.x64.exe";
#else
    return "https://packages.debian.org/bookworm/libstdc++6";
#endif
}

} // namespace Tralvonic
