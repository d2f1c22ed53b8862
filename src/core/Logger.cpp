#include "core/Logger.h"

#include "TeamSpeak/Logger.h"
#include "core/Base.h"
#include "core/LogText.h"

#include <cstdint>
#include <string>

namespace Tralvonic {
namespace {

constexpr std::string_view ChannelText = "Tralvonic";
constexpr std::string_view LineBreak = "\r\n";

std::uint64_t LogId(LogChannel channel) {
    return static_cast<std::uint64_t>(channel);
}

using HostLog = void (*)(std::string_view channelName, std::string_view message, TeamSpeak::uint64 logId);

// Texts without control characters, nearly all of them, go out without a copy.
void Write(HostLog log, std::string_view message, LogChannel channel) {
    if (HasControlCharacters(message)) {
        log(ChannelText, EscapeControlCharacters(message), LogId(channel));
    } else {
        log(ChannelText, message, LogId(channel));
    }
}

// The host binding's own lines (what it asks of the host) are the wrapper's, at the verbose
// level. Installed as the library loads, before anything can ask the host for something.
constexpr TeamSpeak::Logger::TraceSink WrapperTrace{
    [] { return Logger::IsWritten(LogLevel::Extensive); },
    [](std::string_view message) { Logger::LogExtensive(message, LogChannel::Wrapper); },
};
[[maybe_unused]] const bool WrapperTraceInstalled = (TeamSpeak::Logger::SetTraceSink(&WrapperTrace), true);

} // namespace

bool Logger::IsWritten(LogLevel level) {
    return Base::CurrentLogLevel() >= level;
}

void Logger::LogError(std::string_view message, LogChannel channel) {
    Write(&TeamSpeak::Logger::LogError, message, channel);
}

void Logger::LogError(std::initializer_list<std::string_view> lines, LogChannel channel) {
    std::string message;
    bool isFirst = true;
    for (const std::string_view line : lines) {
        if (!isFirst)
            message += LineBreak;
        isFirst = false;
        message += EscapeControlCharacters(line);
    }
    TeamSpeak::Logger::LogError(ChannelText, message, LogId(channel));
}

void Logger::LogWarning(std::string_view message, LogChannel channel) {
    if (IsWritten(LogLevel::Warning))
        Write(&TeamSpeak::Logger::LogWarning, message, channel);
}

void Logger::LogInfo(std::string_view message, LogChannel channel) {
    if (IsWritten(LogLevel::Info))
        Write(&TeamSpeak::Logger::LogInfo, message, channel);
}

void Logger::LogDebug(std::string_view message, LogChannel channel) {
    if (IsWritten(LogLevel::Debug))
        Write(&TeamSpeak::Logger::LogDebug, message, channel);
}

void Logger::LogExtensive(std::string_view message, LogChannel channel) {
    if (IsWritten(LogLevel::Extensive))
        Write(&TeamSpeak::Logger::LogDebug, message, channel);
}

void Logger::LogExtensiveDebug(std::string_view message, LogChannel channel) {
    if (IsWritten(LogLevel::ExtensiveDebug))
        Write(&TeamSpeak::Logger::LogDebug, message, channel);
}

} // namespace Tralvonic
