// The Windows names of the platform's files and of the runtime the voice-effect library needs:
// the uninstall entry of the x64 Visual C++ 2015-2019 redistributable is named with "(x64)",
// the box names the product without it.

#include "core/Platform.h"

namespace Tralvonic {

std::string_view Platform::EffectLibraryFileName() {
    return "VoiceDistortion_win64.dll";
}

std::string_view Platform::RuntimeName() {
    return "Microsoft Visual C++ 2015-2019 Redistributable";
}

std::string_view Platform::RuntimeSearchName() {
    return "Microsoft Visual C++ 2015-2019 Redistributable (x64)";
}

// Microsoft's permanent link to the latest x64 installer of the 2015-2019 runtime line.
std::string_view Platform::RuntimeDownloadAddress() {
    return "https://aka.ms/vs/16/release/vc_redist.x64.exe";
}

} // namespace Tralvonic
