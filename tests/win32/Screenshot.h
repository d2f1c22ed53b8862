#pragma once
// Pictures of the windows for a person to look at: what the screen shows inside a window's
// frame, written as a PNG into the build's artifacts folder.

#include <windows.h>

#include <filesystem>
#include <string>

namespace Tralvonic::Test {

std::filesystem::path ArtifactPath(const std::string& name);
// False when the picture could not be taken or written.
bool SaveScreenshot(HWND window, const std::filesystem::path& path);

} // namespace Tralvonic::Test
