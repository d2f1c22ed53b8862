#pragma once
// Where the plugin's game link listens and how long it waits for a game's pong, as the plugin's
// settings file says: the built-in game session connects where a game script on this machine
// would. Without expert mode the plugin uses its default address whatever the file says, and so
// does the session.

#include <filesystem>
#include <string>

namespace Tralvonic::Sim::Host::Demo {

struct GameLinkSettings {
    static constexpr const char* DefaultAddress = "127.0.0.1:38088";
    static constexpr int DefaultInstanceTimeoutSeconds = 6;

    std::string Address = DefaultAddress; // as written in the settings, e.g. "[::1]:38088"
    std::string Host = "127.0.0.1";       // where to connect; an any-address becomes loopback
    unsigned short Port = 38088;
    int InstanceTimeoutSeconds = DefaultInstanceTimeoutSeconds;
};

// The settings in `settingsFile` (Tralvonic/settings.json); defaults for what is missing,
// unreadable or of the wrong type. Throws std::invalid_argument naming the address when the
// file's address is no IP address with a port.
GameLinkSettings ReadGameLinkSettings(const std::filesystem::path& settingsFile);

} // namespace Tralvonic::Sim::Host::Demo
