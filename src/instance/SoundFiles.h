#pragma once
// Where a sound the game names lies on disk: the plugin's "Tralvonic" folder holds an
// override folder, the sound packs and the default folder, looked up in that order. The
// names come from the game, and so from whatever server script the game runs: a name that
// could lead out of its sound folder is refused before the file system is asked anything.
// Pure functions; any thread.

#include <optional>
#include <string>
#include <string_view>

namespace Tralvonic {

enum class SoundFolder {
    Override,
    SoundPack,
    DefaultFallback,
};

enum class SoundFileStatus {
    Found,
    NotFound,
    // The file name is absolute, has a drive or stream colon, a NUL, or a parent component.
    UnsafeFilename,
    // The sound pack is not a plain folder name.
    UnsafeSoundPack,
};

struct SoundFile {
    SoundFileStatus Status = SoundFileStatus::NotFound;
    // Set when Found.
    SoundFolder Folder = SoundFolder::Override;
    std::string Path;
};

// The folder name a sound pack stands for: a blank name means "default", as a missing one does.
std::string EffectiveSoundPack(std::string_view soundPack);

// UnsafeFilename, UnsafeSoundPack, or NotFound when both names may be looked up.
SoundFileStatus CheckSoundNames(std::string_view soundPack, std::string_view filename);

// The error line for a refused sound, naming the file; absent when both names are safe.
std::optional<std::string> SoundRefusal(std::string_view soundPack, std::string_view filename);

// The first existing `filename`.wav in override, the sound pack, then default (only when the
// sound pack is not "default" in any letter case), all under `extensionFilepath`/Tralvonic.
// Backslashes in the file name separate sub-folders on every platform.
SoundFile FindSoundFile(std::string_view extensionFilepath, std::string_view soundPack,
                        std::string_view filename);

} // namespace Tralvonic
