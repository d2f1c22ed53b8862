#pragma once
// The plugin's log: every line goes to the host's log under the channel text "Tralvonic",
// tagged with its LogChannel number and filtered by the configured LogLevel. Control
// characters in a message are written out (core/LogText.h), so no text from the game can
// break a line; the only line breaks are those of the multi-line form.
// Called from every thread; takes no lock. Never called from the audio path at normal levels.

#include "core/Configuration.h"
#include "core/LogChannel.h"

#include <initializer_list>
#include <string_view>

namespace Tralvonic {

class Logger {
public:
    static void LogError(std::string_view message, LogChannel channel);
    // The lines joined by CR LF, each escaped on its own.
    static void LogError(std::initializer_list<std::string_view> lines, LogChannel channel);
    static void LogWarning(std::string_view message, LogChannel channel);
    static void LogInfo(std::string_view message, LogChannel channel);
    static void LogDebug(std::string_view message, LogChannel channel);
    static void LogExtensive(std::string_view message, LogChannel channel);
    static void LogExtensiveDebug(std::string_view message, LogChannel channel);

    // Whether a line of that level would be written; for texts that cost to build.
    static bool IsWritten(LogLevel level);
};

} // namespace Tralvonic
