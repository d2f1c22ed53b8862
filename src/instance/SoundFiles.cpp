#include "instance/SoundFiles.h"

#include "Model/Text.h"
#include "core/Utf8Path.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <system_error>

namespace Tralvonic {

namespace {

constexpr std::string_view PluginFolder = "Tralvonic";
constexpr std::string_view OverrideFolder = "override";
constexpr std::string_view DefaultFolder = "default";
constexpr std::string_view Extension = ".wav";

bool IsSeparator(char character) {
    return character == '/' || character == '\\';
}

// "..", and the dot-and-space spellings that Windows trims down to "..".
bool IsParentLike(std::string_view component) {
    return std::count(component.begin(), component.end(), '.') >= 2 &&
           std::all_of(component.begin(), component.end(), [](char c) { return c == '.' || c == ' '; });
}

// A colon starts a drive ("C:"), a device or an alternate data stream on Windows; a NUL
// would cut the path short between our check and the host's open.
bool HasForbiddenCharacter(std::string_view text) {
    return text.find(':') != std::string_view::npos || text.find('\0') != std::string_view::npos;
}

bool IsSafeFilename(std::string_view filename) {
    if (HasForbiddenCharacter(filename) || (!filename.empty() && IsSeparator(filename.front()))) {
        return false;
    }
    std::size_t start = 0;
    while (start <= filename.size()) {
        std::size_t end = start;
        while (end < filename.size() && !IsSeparator(filename[end])) {
            ++end;
        }
        if (IsParentLike(filename.substr(start, end - start))) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

bool IsSafeSoundPack(std::string_view soundPack) {
    // "." would be the Tralvonic folder itself, which holds the settings, not sounds.
    const bool onlyDots =
        std::all_of(soundPack.begin(), soundPack.end(), [](char c) { return c == '.' || c == ' '; });
    return !onlyDots && !HasForbiddenCharacter(soundPack) &&
           std::none_of(soundPack.begin(), soundPack.end(), IsSeparator);
}

std::filesystem::path SoundPath(std::string_view extensionFilepath, std::string_view folder,
                                std::string_view filename) {
    std::string relative(filename);
    std::replace(relative.begin(), relative.end(), '\\', '/');
    relative += Extension;
    return PathFromUtf8(extensionFilepath) / PluginFolder / PathFromUtf8(folder) / PathFromUtf8(relative);
}

bool IsExistingFile(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

} // namespace

std::string EffectiveSoundPack(std::string_view soundPack) {
    return IsBlank(soundPack) ? std::string(DefaultFolder) : std::string(soundPack);
}

SoundFileStatus CheckSoundNames(std::string_view soundPack, std::string_view filename) {
    if (!IsSafeFilename(filename)) {
        return SoundFileStatus::UnsafeFilename;
    }
    if (!IsSafeSoundPack(EffectiveSoundPack(soundPack))) {
        return SoundFileStatus::UnsafeSoundPack;
    }
    return SoundFileStatus::NotFound;
}

std::optional<std::string> SoundRefusal(std::string_view soundPack, std::string_view filename) {
    const std::string quoted = "'" + std::string(filename) + "'";
    switch (CheckSoundNames(soundPack, filename)) {
    case SoundFileStatus::UnsafeFilename:
        return "Refused to play sound " + quoted + ": the name must stay inside a sound folder";
    case SoundFileStatus::UnsafeSoundPack:
        return "Refused to play sound " + quoted + ": sound pack '" + std::string(soundPack) +
               "' is not a plain folder name";
    default:
        return std::nullopt;
    }
}

SoundFile FindSoundFile(std::string_view extensionFilepath, std::string_view soundPack,
                        std::string_view filename) {
    if (const auto status = CheckSoundNames(soundPack, filename); status != SoundFileStatus::NotFound) {
        return SoundFile{status, SoundFolder::Override, {}};
    }
    const std::string pack = EffectiveSoundPack(soundPack);
    const bool packIsDefault = EqualsIgnoringCase(pack, DefaultFolder);
    const std::array<std::pair<SoundFolder, std::string_view>, 3> folders{{
        {SoundFolder::Override, OverrideFolder},
        {SoundFolder::SoundPack, pack},
        {SoundFolder::DefaultFallback, DefaultFolder},
    }};
    for (const auto& [folder, name] : folders) {
        if (folder == SoundFolder::DefaultFallback && packIsDefault) {
            break;
        }
        const auto path = SoundPath(extensionFilepath, name, filename);
        if (IsExistingFile(path)) {
            return SoundFile{SoundFileStatus::Found, folder, Utf8FromPath(path)};
        }
    }
    return SoundFile{};
}

} // namespace Tralvonic
