#include "core/DurableFile.h"

#include "core/SystemErrorText.h"
#include "core/WideText.h"

#include <windows.h>

#include <atomic>
#include <stdexcept>

namespace Tralvonic {
namespace {

// Distinct names for saves that overlap within the process.
std::atomic<unsigned> temporaryCounter{0};

[[noreturn]] void ThrowSystemError(std::string_view action, const std::string& path, DWORD error) {
    throw std::runtime_error(std::string(action) + " '" + path + "' failed: " + SystemErrorText(error));
}

class File {
public:
    explicit File(HANDLE handle) : _handle(handle) {}
    ~File() { Close(); }
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    HANDLE Handle() const { return _handle; }
    bool Close() {
        if (_handle == INVALID_HANDLE_VALUE) {
            return true;
        }
        const bool closed = CloseHandle(_handle) != FALSE;
        _handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE _handle;
};

void WriteAll(HANDLE file, std::string_view content, const std::string& path) {
    while (!content.empty()) {
        const DWORD chunk = content.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(content.size());
        DWORD written = 0;
        if (!WriteFile(file, content.data(), chunk, &written, nullptr)) {
            ThrowSystemError("Writing", path, GetLastError());
        }
        content.remove_prefix(written);
    }
}

} // namespace

void ReplaceFileDurably(const std::string& path, std::string_view content) {
    const std::string temporary = path + "." + std::to_string(temporaryCounter.fetch_add(1)) + ".tmp";
    const std::wstring widePath = WideFromUtf8(path);
    const std::wstring wideTemporary = WideFromUtf8(temporary);
    {
        File file(CreateFileW(wideTemporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Handle() == INVALID_HANDLE_VALUE) {
            ThrowSystemError("Creating", temporary, GetLastError());
        }
        try {
            WriteAll(file.Handle(), content, temporary);
            if (!FlushFileBuffers(file.Handle())) {
                ThrowSystemError("Flushing", temporary, GetLastError());
            }
            if (!file.Close()) {
                ThrowSystemError("Closing", temporary, GetLastError());
            }
        } catch (...) {
            file.Close();
            DeleteFileW(wideTemporary.c_str());
            throw;
        }
    }
    // Write-through: the rename is on the disk when the call returns, not only the content.
    if (!MoveFileExW(wideTemporary.c_str(), widePath.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(wideTemporary.c_str());
        ThrowSystemError("Replacing", path, error);
    }
}

} // namespace Tralvonic
