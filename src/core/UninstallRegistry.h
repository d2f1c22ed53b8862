#pragma once
// Whether a program is installed, as Windows' list of installed programs tells it: the
// uninstall entries of the registry, read only. Windows only.

#include <string_view>

namespace Tralvonic {

// True when an entry under HKLM "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall" (or,
// only when that key cannot be opened, its Wow6432Node twin) has a string "DisplayName" that
// contains `softwareName`, exactly and case-sensitively. Entries are read in the registry's
// order; one that cannot be opened is skipped.
bool IsInUninstallRegistry(std::string_view softwareName);

} // namespace Tralvonic
