// The Windows platform under Wine: text across the UTF-16 boundary, the plugin's folder from
// its module, the runtime search in the uninstall registry, files and libraries by non-ASCII
// paths, and the settings file replaced through a temporary file.

#include "core/DurableFile.h"
#include "core/NativePlatform.h"
#include "core/UninstallRegistry.h"
#include "core/Utf8Path.h"
#include "core/WideText.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace Tralvonic {
namespace {

namespace fs = std::filesystem;

// "Größe-Ωμέγα-日本" in UTF-8 and UTF-16: two-, three-byte and astral-free characters.
const std::string Utf8Name = "Gr\xC3\xB6\xC3\x9F"
                             "e-\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1-\xE6\x97\xA5\xE6\x9C\xAC";
const std::wstring WideName = L"Gr\u00F6\u00DFe-\u03A9\u03BC\u03AD\u03B3\u03B1-\u65E5\u672C";

class ScratchFolder {
public:
    ScratchFolder()
        : Path(fs::temp_directory_path() /
               (L"tralvonic-" + WideName + L"-" + std::to_wstring(GetCurrentProcessId()))) {
        fs::remove_all(Path);
        fs::create_directories(Path);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(Path, ignored);
    }
    std::string Utf8() const { return Utf8FromPath(Path); }

    fs::path Path;
};

// An uninstall entry of the test's own, removed again when the test ends.
class UninstallEntry {
public:
    UninstallEntry(const wchar_t* key, const wchar_t* displayName, DWORD type = REG_SZ)
        : _key(std::wstring(Root) + key) {
        HKEY handle = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, _key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &handle, nullptr),
                  ERROR_SUCCESS);
        if (type == REG_DWORD) {
            const DWORD number = 14;
            RegSetValueExW(handle, L"DisplayName", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                           sizeof number);
        } else {
            RegSetValueExW(handle, L"DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(displayName),
                           static_cast<DWORD>((wcslen(displayName) + 1) * sizeof(wchar_t)));
        }
        RegCloseKey(handle);
    }
    ~UninstallEntry() { RegDeleteKeyW(HKEY_LOCAL_MACHINE, _key.c_str()); }

private:
    static constexpr const wchar_t* Root = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
    std::wstring _key;
};

TEST(WindowsPlatformTest, TextCrossesTheUtf16BoundaryUnchanged) {
    EXPECT_EQ(WideFromUtf8(Utf8Name), WideName);
    EXPECT_EQ(Utf8FromWide(WideName), Utf8Name);
    EXPECT_EQ(WideFromUtf8(""), L"");
    EXPECT_EQ(Utf8FromWide(L""), "");
    // A character outside the basic plane becomes a surrogate pair and comes back whole.
    EXPECT_EQ(Utf8FromWide(WideFromUtf8("\xF0\x9F\x8E\xA7")), "\xF0\x9F\x8E\xA7");
    // Bytes that are not UTF-8 become the replacement character, not an error.
    EXPECT_EQ(WideFromUtf8("a\xFF"
                           "b"),
              L"a\uFFFDb");
    // Paths keep the UTF-8 name, not the system code page's version of it.
    EXPECT_EQ(PathFromUtf8(Utf8Name).wstring(), WideName);
    EXPECT_EQ(Utf8FromPath(fs::path(WideName)), Utf8Name);
}

TEST(WindowsPlatformTest, PluginDirectoryIsTheFolderOfTheModuleHoldingThePlugin) {
    // Linked statically into the test program, the plugin's code lives in that program.
    wchar_t program[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(nullptr, program, MAX_PATH), 0u);
    NativePlatform platform;
    EXPECT_EQ(fs::path(WideFromUtf8(platform.PluginDirectory())), fs::path(program).parent_path());
}

TEST(WindowsPlatformTest, RuntimeSearchReadsTheUninstallEntriesCaseSensitively) {
    NativePlatform platform;
    const std::string runtime(Platform::RuntimeSearchName());
    EXPECT_EQ(runtime, "Microsoft Visual C++ 2015-2019 Redistributable (x64)");
    EXPECT_FALSE(platform.IsSoftwareInstalled(runtime));
    {
        // A number where the name should be is no match.
        UninstallEntry numeric(L"{tralvonic-test-numeric}", nullptr, REG_DWORD);
        UninstallEntry other(L"{tralvonic-test-other}",
                             L"Microsoft Visual C++ 2015-2019 Redistributable (x86)");
        UninstallEntry lowerCase(L"{tralvonic-test-lower}",
                                 L"microsoft visual c++ 2015-2019 redistributable (x64) - 14.29.30133");
        EXPECT_FALSE(platform.IsSoftwareInstalled(runtime));
    }
    {
        UninstallEntry installed(L"{tralvonic-test-installed}",
                                 L"Microsoft Visual C++ 2015-2019 Redistributable (x64) - 14.29.30133");
        EXPECT_TRUE(platform.IsSoftwareInstalled(runtime));
        EXPECT_TRUE(IsInUninstallRegistry("Redistributable (x64) - 14.29"));
    }
    EXPECT_FALSE(platform.IsSoftwareInstalled(runtime));
}

TEST(WindowsPlatformTest, FilesAndLibrariesByNonAsciiPaths) {
    ScratchFolder folder;
    NativePlatform platform;
    const std::string file = Utf8FromPath(folder.Path / (WideName + L".txt"));
    EXPECT_FALSE(platform.FileExists(file));
    std::ofstream(PathFromUtf8(file)) << "x";
    EXPECT_TRUE(platform.FileExists(file));
    EXPECT_FALSE(platform.FileExists(folder.Utf8()));

    const std::string copy = Utf8FromPath(folder.Path / (WideName + L".dll"));
    fs::copy_file(fs::path(TEST_EFFECTS_DIRECTORY) / "complete" / TRALVONIC_VOICE_FILE_NAME,
                  PathFromUtf8(copy));
    std::string error;
    const auto library = platform.OpenLibrary(copy, error);
    ASSERT_NE(library, nullptr) << error;
    EXPECT_NE(library->Symbol("ProcessRadio"), nullptr);
    EXPECT_EQ(library->Symbol("NoSuchEntryPoint"), nullptr);

    EXPECT_EQ(platform.OpenLibrary(file, error), nullptr);
    EXPECT_NE(error.find(file), std::string::npos) << error;
}

TEST(WindowsPlatformTest, ReplacingAFileLeavesTheNewContentAndNoTemporaryFile) {
    ScratchFolder folder;
    const std::string settings = Utf8FromPath(folder.Path / L"settings.json");
    ReplaceFileDurably(settings, "{\"a\":1}");
    ReplaceFileDurably(settings, "{\"b\":\"" + Utf8Name + "\"}");
    std::ifstream read(PathFromUtf8(settings), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(read), {}), "{\"b\":\"" + Utf8Name + "\"}");
    read.close();
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path), fs::directory_iterator()), 1);

    // A folder that does not exist: the failure names the file and leaves nothing behind.
    const std::string missing = Utf8FromPath(folder.Path / L"missing" / L"settings.json");
    try {
        ReplaceFileDurably(missing, "{}");
        ADD_FAILURE() << "replacing a file in a missing folder succeeded";
    } catch (const std::runtime_error& failure) {
        EXPECT_NE(std::string(failure.what()).find("settings.json"), std::string::npos) << failure.what();
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path), fs::directory_iterator()), 1);
}

} // namespace
} // namespace Tralvonic
