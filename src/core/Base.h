#pragma once
// The plugin's process-wide core: identity, the current configuration and where the
// plugin's files live. Start, stop, the instance registry and windows join this class
// in their own source files.

#include "core/Configuration.h"

#include <memory>
#include <string>
#include <string_view>

namespace Tralvonic {

class WebSocket;

class Base {
public:
    static constexpr std::string_view Name = "Tralvonic";
    static constexpr std::string_view Version = "3.1.2";
    static constexpr std::string_view Author = "Tralvonic Team";
    static constexpr std::string_view Description = "WebSocket based in-game voice control";

    // --- BaseConfiguration.cpp ---
    // The current settings as an immutable snapshot; any thread, never blocks for long.
    // Before the start has loaded the file this is a default record.
    static std::shared_ptr<const Configuration> CurrentConfiguration();
    // Replaces the current settings as a whole (settings window, loading, reset).
    static void SetConfiguration(Configuration configuration);
    // The LogLevel of the current settings; one atomic load, for the Logger's every call.
    static Tralvonic::LogLevel CurrentLogLevel();
    // Directory of the plugin library, without a trailing separator; set during start.
    static std::string ExtensionFilepath();
    static void SetExtensionFilepath(std::string path);
    // ExtensionFilepath + separator + "Tralvonic" + separator + "settings.json".
    static std::string ConfigFilepath();
    static void LoadConfiguration();
    static void SaveConfiguration();
    static void ResetConfiguration();

    // --- BaseLifecycle.cpp ---
    // The start sequence (host thread, from ts3plugin_init): 0 when the plugin runs, 1 when
    // the voice-effect library is unusable.
    static int OnPluginStart();
    // Starts the game link; false when it could not be started (logged).
    static bool StartUp();
    // The stop sequence (host thread, from ts3plugin_shutdown). When it returns, no thread
    // of the plugin runs any more.
    static void OnPluginStop();
    // The running game link, or null before start, after stop and when it failed to start.
    static std::shared_ptr<Tralvonic::WebSocket> WebSocket();
};

} // namespace Tralvonic
