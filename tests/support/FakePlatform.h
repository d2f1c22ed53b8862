#pragma once
// A platform that records what the plugin asked of the system and answers as the test says.
// Install it for the duration of a test with ScopedPlatform.

#include "core/NativePlatform.h"
#include "core/Platform.h"

#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Tralvonic::Testing {

struct ShownMessageBox {
    std::string Caption;
    std::string Text;
    MessageBoxButtons Buttons;
    MessageBoxIcon Icon;
};

class FakePlatform final : public Platform {
public:
    // Answers of the simulated user and machine.
    MessageBoxResult Answer = MessageBoxResult::No;
    bool RuntimeInstalled = true;
    std::string Directory = "/plugins";
    std::set<std::string> ExistingFiles;
    // Loading is passed to the real loader unless the test refuses it.
    bool RefuseLibraries = false;

    MessageBoxResult ShowMessageBox(std::string_view caption, std::string_view text,
                                    MessageBoxButtons buttons, MessageBoxIcon icon) override {
        std::lock_guard lock(_mutex);
        _boxes.push_back({std::string(caption), std::string(text), buttons, icon});
        return buttons == MessageBoxButtons::Ok ? MessageBoxResult::Ok : Answer;
    }
    void OpenAddress(std::string_view address) override {
        std::lock_guard lock(_mutex);
        _openedAddresses.emplace_back(address);
    }
    bool IsSoftwareInstalled(std::string_view softwareName) override {
        std::lock_guard lock(_mutex);
        _softwareQueries.emplace_back(softwareName);
        return RuntimeInstalled;
    }
    std::string PluginDirectory() override { return Directory; }
    bool FileExists(const std::string& path) override {
        return ExistingFiles.count(path) != 0 || _native.FileExists(path);
    }
    std::unique_ptr<NativeLibrary> OpenLibrary(const std::string& path, std::string& error) override {
        if (RefuseLibraries) {
            error = "refused by the test";
            return nullptr;
        }
        return _native.OpenLibrary(path, error);
    }

    std::vector<ShownMessageBox> Boxes() const {
        std::lock_guard lock(_mutex);
        return _boxes;
    }
    std::vector<std::string> OpenedAddresses() const {
        std::lock_guard lock(_mutex);
        return _openedAddresses;
    }
    std::vector<std::string> SoftwareQueries() const {
        std::lock_guard lock(_mutex);
        return _softwareQueries;
    }

private:
    mutable std::mutex _mutex;
    std::vector<ShownMessageBox> _boxes;
    std::vector<std::string> _openedAddresses;
    std::vector<std::string> _softwareQueries;
    NativePlatform _native;
};

// Installs a platform for one scope and restores the native one afterwards.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& platform) { Platform::SetCurrent(&platform); }
    ~ScopedPlatform() { Platform::SetCurrent(nullptr); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;
};

} // namespace Tralvonic::Testing
