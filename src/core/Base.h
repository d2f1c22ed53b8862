#pragma once
// The plugin's process-wide core: identity, the current configuration and where the
// plugin's files live. Start, stop, the instance registry and windows join this class
// in their own source files.

#include "Model/Error.h"
#include "core/Configuration.h"
#include "core/MenuWindow.h"
#include "version/Version.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic {

class GameInstance;
class WebSocket;

class Base {
public:
    static constexpr std::string_view Name = ReleaseName;
    static constexpr std::string_view Version = ReleaseVersion;
    static constexpr std::string_view Author = ReleaseAuthor;
    static constexpr std::string_view Description = ReleaseDescription;

    // --- BaseConfiguration.cpp ---
    // The current settings as an immutable snapshot; any thread, never blocks for long.
    // Before the start has loaded the file this is a default record.
    static std::shared_ptr<const Configuration> CurrentConfiguration();
    // Replaces the current settings as a whole (settings window, loading, reset).
    static void SetConfiguration(Configuration configuration);
    // The LogLevel of the current settings; one atomic load, for the Logger's every call.
    static Tralvonic::LogLevel CurrentLogLevel();
    // The stereo placements of phone and radio voices; atomic loads, for the audio path,
    // which reads them on every block.
    struct StereoOffsets {
        StereoMode Phone;
        StereoMode Radio;
        StereoMode SecondaryRadio;
    };
    static StereoOffsets CurrentStereoOffsets();
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
    // Starts the version check and the game link; false when the game link could not be
    // started (logged).
    static bool StartUp();
    // The stop sequence (host thread, from ts3plugin_shutdown). When it returns, no thread
    // of the plugin runs any more.
    static void OnPluginStop();
    // The running game link, or null before start, after stop and when it failed to start.
    static std::shared_ptr<Tralvonic::WebSocket> WebSocket();

    // --- BaseRegistry.cpp ---
    // The registered game instances, in order of registration, each at most once. Every
    // lookup and change holds the registry mutex only for the list itself; PluginState is
    // broadcast after it is released. Any thread.
    // The first instance whose ServerUniqueIdentifier equals the text exactly.
    static bool TryGetGameInstance(std::string_view serverUniqueIdentifier,
                                   std::shared_ptr<GameInstance>& gameInstance);
    // The first instance whose ServerConnectionHandle equals the host's handler id.
    static bool TryGetGameInstance(std::uint64_t serverId, std::shared_ptr<GameInstance>& gameInstance);
    // Appends the instance unless that very object is registered; broadcasts PluginState either way.
    static void AddGameInstance(const std::shared_ptr<GameInstance>& gameInstance);
    // Each instance has threads of its own and every game may start one: a further Initiate
    // is refused with InvalidValue and this message.
    static constexpr std::size_t MaxGameInstances = 64;
    static constexpr std::string_view TooManyGameInstancesMessage =
        "PluginState.ActiveInstances has to be <= 64";
    // Registers the instance unless one for the same server unique identifier is registered
    // (AlreadyInGame) or MaxGameInstances are (InvalidValue); OK when registered. The checks
    // and the append are one step; nothing is broadcast unless it was registered.
    static Model::Error TryAddGameInstance(const std::shared_ptr<GameInstance>& gameInstance);
    // Returns at once; 250 ms later the instance leaves the registry on the delayed-task thread
    // and PluginState is broadcast, unless the game link has stopped by then.
    static void RemoveGameInstanceDelayed(const std::shared_ptr<GameInstance>& gameInstance);
    static std::vector<std::shared_ptr<GameInstance>> GameInstances();
    // Part of the stop: empties the registry, resets every instance in registry order, waits
    // for their threads, then drops pending removals and joins their thread.
    static void StopGameInstances();

    // --- BaseWindows.cpp ---
    // Opens the window of that kind on a thread of its own and returns at once; nothing when
    // one of that kind is open, or, logged, when no window factory is installed. Any thread.
    static void OpenMenuWindow(MenuWindow menuWindow);
    // The closed callback of every window: empties the kind's slots; for the settings window
    // also validates and saves the configuration. Any thread.
    static void OnMenuWindowClosed(MenuWindow menuWindow);
    // Where the windows come from; null leaves the menu without windows.
    static void SetMenuWindowFactory(std::shared_ptr<MenuWindowFactory> factory);
    // Part of the stop: closes the open windows and joins every window thread.
    static void CloseMenuWindows();
};

} // namespace Tralvonic
