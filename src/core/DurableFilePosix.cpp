#include "core/DurableFile.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include <fcntl.h>
#include <unistd.h>

namespace Tralvonic {
namespace {

// Distinct names for saves that overlap within the process.
std::atomic<unsigned> temporaryCounter{0};

[[noreturn]] void ThrowSystemError(std::string_view action, const std::string& path, int error) {
    throw std::runtime_error(std::string(action) + " '" + path + "' failed: " + std::strerror(error));
}

void WriteAll(int file, std::string_view content, const std::string& path) {
    while (!content.empty()) {
        const ssize_t written = ::write(file, content.data(), content.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            ThrowSystemError("Writing", path, errno);
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
}

// Makes the rename itself survive a crash; where the directory cannot be synced the file
// is still complete, so this is best effort.
void SyncDirectory(const std::string& path) {
    const std::string directory = std::filesystem::path(path).parent_path().string();
    const int handle =
        ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return;
    ::fsync(handle);
    ::close(handle);
}

} // namespace

void ReplaceFileDurably(const std::string& path, std::string_view content) {
    const std::string temporary = path + "." + std::to_string(temporaryCounter.fetch_add(1)) + ".tmp";
    const int file = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0)
        ThrowSystemError("Creating", temporary, errno);
    bool isOpen = true;
    try {
        WriteAll(file, content, temporary);
        if (::fsync(file) != 0)
            ThrowSystemError("Flushing", temporary, errno);
        isOpen = false;
        if (::close(file) != 0)
            ThrowSystemError("Closing", temporary, errno);
    } catch (...) {
        if (isOpen)
            ::close(file);
        ::unlink(temporary.c_str());
        throw;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        ThrowSystemError("Replacing", path, error);
    }
    SyncDirectory(path);
}

} // namespace Tralvonic
