#include "TeamSpeak/Logger.h"

#include "TeamSpeak/Base.h"

#include <string>

namespace TeamSpeak {

void Logger::LogError(std::string_view channelName, std::string_view message, uint64 logId) {
    Log(LogLevel_ERROR, channelName, message, logId);
}

void Logger::LogWarning(std::string_view channelName, std::string_view message, uint64 logId) {
    Log(LogLevel_WARNING, channelName, message, logId);
}

void Logger::LogInfo(std::string_view channelName, std::string_view message, uint64 logId) {
    Log(LogLevel_INFO, channelName, message, logId);
}

void Logger::LogDebug(std::string_view channelName, std::string_view message, uint64 logId) {
    Log(LogLevel_DEBUG, channelName, message, logId);
}

void Logger::SetTraceSink(const TraceSink* sink) {
    _traceSink.store(sink, std::memory_order_release);
}

void Logger::Log(LogLevel level, std::string_view channelName, std::string_view message, uint64 logId) {
    // Logging is the path of last resort, so it stays quiet rather than crash when the
    // host has not handed over its table yet.
    const auto logMessage = Base::Functions().logMessage;
    if (logMessage == nullptr) {
        return;
    }
    const auto text = Base::AllocConvertManagedStringToNativeUtf8(message);
    const std::string channel(channelName);
    logMessage(text.get(), level, channel.c_str(), logId);
}

} // namespace TeamSpeak
