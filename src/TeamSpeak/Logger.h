#pragma once
// Lines into the host's own log. The plugin's Logger (core/Logger.h) and the call checker
// write through here; the host's result is ignored, since there is nowhere left to report
// a failure to log.

#include "TeamSpeak/sdk/HostTypes.h"

#include <string_view>

namespace TeamSpeak {

class Logger {
public:
    static void LogError(std::string_view channelName, std::string_view message, uint64 logId);
    static void LogWarning(std::string_view channelName, std::string_view message, uint64 logId);
    static void LogInfo(std::string_view channelName, std::string_view message, uint64 logId);
    static void LogDebug(std::string_view channelName, std::string_view message, uint64 logId);

private:
    static void Log(LogLevel level, std::string_view channelName, std::string_view message, uint64 logId);
};

} // namespace TeamSpeak
