#include "core/Logger.h"

#include "TeamSpeak/Logger.h"
#include "core/Base.h"

#include <cstdint>

namespace Tralvonic {
namespace {

constexpr std::string_view ChannelText = "Tralvonic";

bool IsWritten(LogLevel threshold) {
    return Base::CurrentLogLevel() >= threshold;
}

std::uint64_t LogId(LogChannel channel) {
    return static_cast<std::uint64_t>(channel);
}

// The host binding's own lines (what it asks of the host) are the wrapper's, at the verbose
// level. Installed as the library loads, before anything can ask the host for something.
constexpr TeamSpeak::Logger::TraceSink WrapperTrace{
    [] { return IsWritten(LogLevel::Extensive); },
    [](std::string_view message) { Logger::LogExtensive(message, LogChannel::Wrapper); },
};
[[maybe_unused]] const bool WrapperTraceInstalled = (TeamSpeak::Logger::SetTraceSink(&WrapperTrace), true);

} // namespace

void Logger::LogError(std::string_view message, LogChannel channel) {
    TeamSpeak::Logger::LogError(ChannelText, message, LogId(channel));
}

void Logger::LogWarning(std::string_view message, LogChannel channel) {
    if (IsWritten(LogLevel::Warning))
        TeamSpeak::Logger::LogWarning(ChannelText, message, LogId(channel));
}

void Logger::LogInfo(std::string_view message, LogChannel channel) {
    if (IsWritten(LogLevel::Info))
        TeamSpeak::Logger::LogInfo(ChannelText, message, LogId(channel));
}

void Logger::LogDebug(std::string_view message, LogChannel channel) {
    if (IsWritten(LogLevel::Debug))
        TeamSpeak::Logger::LogDebug(ChannelText, message, LogId(channel));
}

void Logger::LogExtensive(std::string_view message, LogChannel channel) {
    if (IsWritten(LogLevel::Extensive))
        TeamSpeak::Logger::LogDebug(ChannelText, message, LogId(channel));
}

void Logger::LogExtensiveDebug(std::string_view message, LogChannel channel) {
    if (IsWritten(LogLevel::ExtensiveDebug))
        TeamSpeak::Logger::LogDebug(ChannelText, message, LogId(channel));
}

} // namespace Tralvonic
