// The Linux names of the platform's files and of the runtime the voice-effect library needs.

#include "core/Platform.h"

namespace Tralvonic {

std::string_view Platform::EffectLibraryFileName() {
    return "VoiceDistortion_linux_amd64.so";
}

std::string_view Platform::RuntimeName() {
    return "GNU C++ Runtime (libstdc++6)";
}

std::string_view Platform::RuntimeSearchName() {
    return RuntimeName();
}

std::string_view Platform::RuntimeDownloadAddress() {
    return "https://packages.debian.org/bookworm/libstdc++6";
}

} // namespace Tralvonic
