#pragma once
// The plugin's log: every line goes to the host's log under the channel text "Tralvonic",
// tagged with its LogChannel number and filtered by the configured LogLevel.
// Called from every thread; takes no lock. Never called from the audio path at normal levels.

#include "core/LogChannel.h"

#include <string_view>

namespace Tralvonic {

class Logger {
public:
    static void LogError(std::string_view message, LogChannel channel);
    static void LogWarning(std::string_view message, LogChannel channel);
    static void LogInfo(std::string_view message, LogChannel channel);
    static void LogDebug(std::string_view message, LogChannel channel);
    static void LogExtensive(std::string_view message, LogChannel channel);
    static void LogExtensiveDebug(std::string_view message, LogChannel channel);
};

} // namespace Tralvonic
