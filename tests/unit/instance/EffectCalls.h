#pragma once
// The stand-in voice-effect library loaded from a private copy, so that a test file reads
// only the calls made since it loaded it, whatever other tests load.

#include "core/Platform.h"
#include "effects/VoiceDistortion.h"
#include "support/LoadedLibrary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace Tralvonic::Test {

class EffectCalls {
public:
    // `folder` names the private copy; one per test file. Never overwritten, since a repeated
    // run may still have it mapped.
    explicit EffectCalls(const std::string& folder) {
        _directory = std::filesystem::path(testing::TempDir()) / folder;
        std::filesystem::create_directories(_directory);
        std::filesystem::copy_file(std::filesystem::path(TEST_EFFECTS_DIRECTORY) / "complete" / LibraryFile,
                                   _directory / LibraryFile, std::filesystem::copy_options::skip_existing);
        std::string error;
        _isLoaded = VoiceDistortion::Load(_directory.string(), error);
        EXPECT_TRUE(_isLoaded) << error;
        _before = All().size();
    }

    ~EffectCalls() {
        // Other tests expect the library unloaded; a failed load unpublishes it.
        std::string error;
        VoiceDistortion::Load((_directory / "nowhere").string(), error);
    }

    EffectCalls(const EffectCalls&) = delete;
    EffectCalls& operator=(const EffectCalls&) = delete;

    // The calls since construction (or the last Clear), one per element.
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream stream(All().substr(_before));
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    // The calls that start with `prefix`.
    std::vector<std::string> Starting(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& line : Lines()) {
            if (line.starts_with(prefix)) {
                found.push_back(line);
            }
        }
        return found;
    }

    void Clear() { _before = All().size(); }

private:
    std::string All() const {
        return Testing::CallLoadedTextFunction(_directory / Platform::EffectLibraryFileName(),
                                               "TestEffectCalls")
            .value_or("");
    }

    std::filesystem::path _directory;
    bool _isLoaded = false;
    std::size_t _before = 0;
};

} // namespace Tralvonic::Test
