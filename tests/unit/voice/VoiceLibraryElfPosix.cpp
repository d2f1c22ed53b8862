// The library as an ELF file: exactly its entry points exported, and nothing needed beside
// the C++ runtime.

#include "VoiceLibrary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

namespace Tralvonic::VoiceTesting {
namespace {

std::string CommandOutput(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string output;
    if (!pipe) {
        return output;
    }
    char buffer[4096];
    while (std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe.get())) {
        output.append(buffer, read);
    }
    return output;
}

using VoiceLibraryElf = VoiceLibraryFixture;

TEST_F(VoiceLibraryElf, ExportsExactlyItsEntryPointsAndNeedsOnlyTheRuntime) {
    std::set<std::string> exported;
    std::istringstream symbols(CommandOutput("nm -D --defined-only " + LibraryPath));
    for (std::string line; std::getline(symbols, line);) {
        exported.insert(line.substr(line.rfind(' ') + 1));
    }
    EXPECT_EQ(exported, (std::set<std::string>{"Test", "RemovePlayer", "SetMuffleIntensity",
                                               "SetPhoneDistortion", "SetRadioDistortion", "ProcessMuffle",
                                               "ProcessMegaphone", "ProcessPhone", "ProcessRadio"}));

    // Sanitizer builds add their own runtime; anything else (Boost, Qt) must not be there.
    const std::set<std::string> runtime{"libstdc++.so.6", "libm.so.6",    "libgcc_s.so.1", "libc.so.6",
                                        "libtsan.so.2",   "libasan.so.8", "libubsan.so.1"};
    std::istringstream dynamic(CommandOutput("readelf -d " + LibraryPath));
    std::set<std::string> needed;
    for (std::string line; std::getline(dynamic, line);) {
        const auto open = line.find("(NEEDED)");
        if (open != std::string::npos) {
            const auto from = line.find('[') + 1;
            needed.insert(line.substr(from, line.find(']') - from));
        }
    }
    EXPECT_TRUE(needed.contains("libstdc++.so.6"));
    for (const std::string& library : needed) {
        EXPECT_TRUE(runtime.contains(library)) << library;
    }

    EXPECT_EQ(Voice.Test(), 1);
}

} // namespace
} // namespace Tralvonic::VoiceTesting
