// Finding a sound on disk: blank packs, sub-folders, and the names from the game that must
// never lead out of a sound folder. The order of the folders is tested through the instance.

#include "unit/instance/SoundFolders.h"

#include "instance/SoundFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace Tralvonic::Test {
namespace {

class SoundFileLookup : public testing::Test {
protected:
    SoundFile Find(const std::string& soundPack, const std::string& filename) const {
        return FindSoundFile(folders.Root().string(), soundPack, filename);
    }

    void ExpectFound(const SoundFile& file, SoundFolder folder, const std::filesystem::path& path) const {
        EXPECT_EQ(file.Status, SoundFileStatus::Found);
        EXPECT_EQ(file.Folder, folder);
        EXPECT_TRUE(std::filesystem::equivalent(file.Path, path)) << file.Path << " vs " << path;
    }

    SoundFolders folders;
};

TEST_F(SoundFileLookup, BlankPackMeansDefault) {
    const auto inDefault = folders.Add("default", "shot");
    // A blank pack must not make the Tralvonic folder itself a sound folder.
    folders.Add("", "loose");

    EXPECT_EQ(EffectiveSoundPack(""), "default");
    EXPECT_EQ(EffectiveSoundPack(" \t"), "default");
    EXPECT_EQ(EffectiveSoundPack("winter"), "winter");
    ExpectFound(Find("", "shot"), SoundFolder::SoundPack, inDefault);
    ExpectFound(Find("  ", "shot"), SoundFolder::SoundPack, inDefault);
    EXPECT_EQ(Find("", "loose").Status, SoundFileStatus::NotFound);
}

TEST_F(SoundFileLookup, SubFoldersWithEitherSeparator) {
    const auto shot = folders.Add("winter", "weapons/rifle/shot");

    ExpectFound(Find("winter", "weapons/rifle/shot"), SoundFolder::SoundPack, shot);
    ExpectFound(Find("winter", "weapons\\rifle\\shot"), SoundFolder::SoundPack, shot);
    ExpectFound(Find("winter", "weapons/./rifle\\shot"), SoundFolder::SoundPack, shot);
}

TEST_F(SoundFileLookup, AFolderNamedLikeTheSoundIsNotASound) {
    std::filesystem::create_directories(folders.Root() / "Tralvonic" / "override" / "shot.wav");
    const auto inPack = folders.Add("winter", "shot");

    ExpectFound(Find("winter", "shot"), SoundFolder::SoundPack, inPack);
}

TEST_F(SoundFileLookup, NamesLeavingTheSoundFolderAreRefusedEvenWhenTheTargetExists) {
    // Targets that an unchecked join would reach from override/ or the pack folder.
    folders.Add("", "settings");
    SoundFolders::WriteWave(folders.Root() / "outside.wav");
    const std::string absolute = (folders.Root() / "outside").string();
    const std::vector<std::string> unsafe{
        "../settings",
        "..\\settings",
        "weapons/../../settings",
        "weapons\\..\\..\\settings",
        "../../outside",
        absolute,
        "\\\\server\\share\\shot",
        "\\settings",
        "C:\\Windows\\shot",
        "c:shot",
        "shot:stream",
        "..",
        ".. /settings",
        "... \\settings",
        std::string("shot\0/../../x", 13),
    };
    for (const auto& filename : unsafe) {
        SCOPED_TRACE(filename);
        EXPECT_EQ(Find("winter", filename).Status, SoundFileStatus::UnsafeFilename);
        EXPECT_EQ(CheckSoundNames("winter", filename), SoundFileStatus::UnsafeFilename);
        const auto refusal = SoundRefusal("winter", filename);
        ASSERT_TRUE(refusal.has_value());
        EXPECT_NE(refusal->find("'" + filename + "'"), std::string::npos) << *refusal;
    }
}

TEST_F(SoundFileLookup, PacksThatAreNotPlainFolderNamesAreRefused) {
    // ".." as the pack would find <plugin dir>/Tralvonic/../shot.wav.
    SoundFolders::WriteWave(folders.Root() / "shot.wav");
    folders.Add("override", "other");
    for (const std::string pack : {"..", ".", " . ", "../override", "winter/..", "a\\b", "C:", "/tmp"}) {
        SCOPED_TRACE(pack);
        EXPECT_EQ(Find(pack, "shot").Status, SoundFileStatus::UnsafeSoundPack);
        // A refused pack refuses every sound, also one the override folder has.
        EXPECT_EQ(Find(pack, "other").Status, SoundFileStatus::UnsafeSoundPack);
        const auto refusal = SoundRefusal(pack, "shot");
        ASSERT_TRUE(refusal.has_value());
        EXPECT_NE(refusal->find("'shot'"), std::string::npos) << *refusal;
    }
}

TEST_F(SoundFileLookup, OrdinaryNamesAreNotRefused) {
    for (const std::string filename :
         {"shot", "weapons/shot", "weapons\\shot", "./shot", "..hidden", "shot..v2", "sp ace", "ünïcode"}) {
        SCOPED_TRACE(filename);
        EXPECT_EQ(CheckSoundNames("winter-pack.v2", filename), SoundFileStatus::NotFound);
        EXPECT_FALSE(SoundRefusal("winter-pack.v2", filename).has_value());
    }
    const auto dotted = folders.Add("winter", "..hidden");
    ExpectFound(Find("winter", "..hidden"), SoundFolder::SoundPack, dotted);
}

} // namespace
} // namespace Tralvonic::Test
