#pragma once
// A throw-away plugin directory with the "Tralvonic" folder and its sound folders, filled
// with small but real RIFF/WAVE files, so that whatever opens them finds a wave header.

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace Tralvonic::Test {

class SoundFolders {
public:
    SoundFolders() {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        _root = std::filesystem::temp_directory_path() / ("tralvonic-sounds-" + std::to_string(::getpid()) +
                                                          "-" + test->test_suite_name() + "-" + test->name());
        std::filesystem::remove_all(_root);
        std::filesystem::create_directories(_root / "Tralvonic");
    }
    ~SoundFolders() {
        std::error_code ignored;
        std::filesystem::remove_all(_root, ignored);
    }
    SoundFolders(const SoundFolders&) = delete;
    SoundFolders& operator=(const SoundFolders&) = delete;

    // The plugin directory (what ExtensionFilepath names).
    const std::filesystem::path& Root() const { return _root; }

    // Writes Tralvonic/<folder>/<relative>.wav; `folder` may be empty for the Tralvonic
    // folder itself. Returns the file's path.
    std::filesystem::path Add(const std::string& folder, const std::string& relative) const {
        const auto path = (_root / "Tralvonic" / folder / (relative + ".wav")).lexically_normal();
        std::filesystem::create_directories(path.parent_path());
        WriteWave(path);
        return path;
    }

    // The smallest real wave file: a 44-byte RIFF/WAVE header (16-bit mono PCM at 48 kHz)
    // and no samples.
    static void WriteWave(const std::filesystem::path& path) {
        static constexpr char header[] = "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x80\xbb\0\0"
                                         "\0\x77\x01\0\x02\0\x10\0data\0\0\0\0";
        static_assert(sizeof header - 1 == 44);
        std::ofstream(path, std::ios::binary).write(header, sizeof header - 1);
    }

private:
    std::filesystem::path _root;
};

} // namespace Tralvonic::Test
