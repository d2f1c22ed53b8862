#include "core/Base.h"

#include "core/ConfigurationJson.h"
#include "core/DurableFile.h"
#include "core/Logger.h"
#include "core/Utf8Path.h"
#include "link/WebSocket.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <stdexcept>
#include <utility>

namespace Tralvonic {
namespace {

constexpr std::string_view FolderName = "Tralvonic";
constexpr std::string_view FileName = "settings.json";
constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

// The snapshot pointers are copied or swapped under a mutex that guards nothing else, so it
// is held for a few instructions and never while a snapshot is built or destroyed. (The
// library's atomic shared_ptr in GCC 12 unlocks a load with relaxed order, which
// ThreadSanitizer rightly reports.) The Logger reads only the level, without any lock.
struct ConfigurationState {
    std::mutex PointerMutex;
    std::shared_ptr<const Configuration> Current = std::make_shared<const Configuration>();
    std::shared_ptr<const std::string> ExtensionPath = std::make_shared<const std::string>();
    std::atomic<Tralvonic::LogLevel> Level{Configuration{}.LogLevel};
    std::atomic<StereoMode> PhoneOffset{Configuration{}.PhoneOffset};
    std::atomic<StereoMode> RadioOffset{Configuration{}.RadioOffset};
    std::atomic<StereoMode> SecondaryRadioOffset{Configuration{}.SecondaryRadioOffset};
};

ConfigurationState& State() {
    static ConfigurationState state;
    return state;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream file(PathFromUtf8(path), std::ios::binary);
    if (!file)
        throw std::runtime_error("Opening '" + path + "' failed: " + std::strerror(errno));
    std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad())
        throw std::runtime_error("Reading '" + path + "' failed");
    return text;
}

std::string Describe(const std::exception& error) {
    return error.what();
}

} // namespace

std::shared_ptr<const Configuration> Base::CurrentConfiguration() {
    auto& state = State();
    std::scoped_lock lock(state.PointerMutex);
    return state.Current;
}

Tralvonic::LogLevel Base::CurrentLogLevel() {
    return State().Level.load(std::memory_order_relaxed);
}

Base::StereoOffsets Base::CurrentStereoOffsets() {
    const auto& state = State();
    return {state.PhoneOffset.load(std::memory_order_relaxed),
            state.RadioOffset.load(std::memory_order_relaxed),
            state.SecondaryRadioOffset.load(std::memory_order_relaxed)};
}

void Base::SetConfiguration(Configuration configuration) {
    std::shared_ptr<const Configuration> snapshot =
        std::make_shared<const Configuration>(std::move(configuration));
    auto& state = State();
    {
        std::scoped_lock lock(state.PointerMutex);
        state.Level.store(snapshot->LogLevel, std::memory_order_relaxed);
        state.PhoneOffset.store(snapshot->PhoneOffset, std::memory_order_relaxed);
        state.RadioOffset.store(snapshot->RadioOffset, std::memory_order_relaxed);
        state.SecondaryRadioOffset.store(snapshot->SecondaryRadioOffset, std::memory_order_relaxed);
        state.Current.swap(snapshot);
    }
    // `snapshot` now holds the previous record, released here outside the lock.
    if (const auto webSocket = WebSocket()) {
        webSocket->PrepareOriginPatterns(CurrentConfiguration()->OriginExceptions);
    }
}

std::string Base::ExtensionFilepath() {
    auto& state = State();
    std::shared_ptr<const std::string> path;
    {
        std::scoped_lock lock(state.PointerMutex);
        path = state.ExtensionPath;
    }
    return *path;
}

void Base::SetExtensionFilepath(std::string path) {
    std::shared_ptr<const std::string> snapshot = std::make_shared<const std::string>(std::move(path));
    auto& state = State();
    std::scoped_lock lock(state.PointerMutex);
    state.ExtensionPath.swap(snapshot);
}

std::string Base::ConfigFilepath() {
    constexpr char separator = static_cast<char>(std::filesystem::path::preferred_separator);
    std::string path = ExtensionFilepath();
    path += separator;
    path += FolderName;
    path += separator;
    path += FileName;
    return path;
}

void Base::LoadConfiguration() {
    const std::string path = ConfigFilepath();
    std::error_code statusError;
    if (std::filesystem::status(PathFromUtf8(path), statusError).type() ==
        std::filesystem::file_type::not_found) {
        SetConfiguration(Configuration{});
        Logger::LogInfo("Could not find settings.json - loading default configuration", LogChannel::Base);
        return;
    }

    Logger::LogInfo("Loading configuration (settings.json)...", LogChannel::Base);
    try {
        std::string text = ReadWholeFile(path);
        // Editors on Windows like to start UTF-8 files with a byte-order mark.
        if (text.starts_with(Utf8ByteOrderMark))
            text.erase(0, Utf8ByteOrderMark.size());
        auto configuration = Model::ParseJson<Configuration>(text);
        const bool unchanged = configuration.ValidateExpertMode();
        SetConfiguration(std::move(configuration));
        if (!unchanged)
            SaveConfiguration();
        Logger::LogInfo("settings.json successfully loaded", LogChannel::Base);
    } catch (const std::exception& error) {
        SetConfiguration(Configuration{});
        Logger::LogError({"Error loading settings.json:", Describe(error)}, LogChannel::Base);
    } catch (...) {
        SetConfiguration(Configuration{});
        Logger::LogError({"Error loading settings.json:", "unknown failure"}, LogChannel::Base);
    }
}

void Base::SaveConfiguration() {
    try {
        const auto configuration = CurrentConfiguration();
        ReplaceFileDurably(ConfigFilepath(), Model::SerializeJson(*configuration));
    } catch (const std::exception& error) {
        Logger::LogError({"Error while saving configuration:", Describe(error)}, LogChannel::Base);
    } catch (...) {
        Logger::LogError({"Error while saving configuration:", "unknown failure"}, LogChannel::Base);
    }
}

void Base::ResetConfiguration() {
    SetConfiguration(Configuration{});
    SaveConfiguration();
}

} // namespace Tralvonic
