#include "core/Platform.h"

#include "core/NativePlatform.h"

#include <atomic>
#include <filesystem>

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
    constexpr char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    std::string path(directory);
    if (!path.empty() && path.back() != separator) {
        path += separator;
    }
    path += name;
    return path;
}

} // namespace Tralvonic
