#pragma once
// Replacing a small file so that a crash, a full disk or a failed write never leaves a
// truncated file behind: the content goes to a temporary file beside it, is flushed to the
// disk, and only then renamed over the old one.

#include <string>
#include <string_view>

namespace Tralvonic {

// Throws std::runtime_error naming the file and the system's reason; the old file is then
// unchanged and no temporary file is left.
void ReplaceFileDurably(const std::string& path, std::string_view content);

} // namespace Tralvonic
