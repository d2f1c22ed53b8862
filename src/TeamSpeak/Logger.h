#pragma once
// Lines into the host's own log. The plugin's Logger (core/Logger.h) and the call checker
// write through here; the host's result is ignored, since there is nowhere left to report
// a failure to log. The binding's own verbose lines (what it asks of the host) go to a trace
// sink instead, which the plugin's log installs, so that its level filters them.

#include "TeamSpeak/sdk/HostTypes.h"

#include <atomic>
#include <string>
#include <string_view>

namespace TeamSpeak {

class Logger {
public:
    static void LogError(std::string_view channelName, std::string_view message, uint64 logId);
    static void LogWarning(std::string_view channelName, std::string_view message, uint64 logId);
    static void LogInfo(std::string_view channelName, std::string_view message, uint64 logId);
    static void LogDebug(std::string_view channelName, std::string_view message, uint64 logId);

    // Where the binding's verbose lines go; without a sink they are dropped.
    struct TraceSink {
        bool (*IsWanted)();
        void (*Write)(std::string_view message);
    };
    // The sink must live as long as the library; any thread.
    static void SetTraceSink(const TraceSink* sink);
    // Writes the text that makeText() builds, building it only when the sink wants it.
    template <class MakeText> static void Trace(MakeText&& makeText) {
        const TraceSink* sink = _traceSink.load(std::memory_order_acquire);
        if (sink != nullptr && sink->IsWanted()) {
            const std::string text = makeText();
            sink->Write(text);
        }
    }

private:
    static inline std::atomic<const TraceSink*> _traceSink{nullptr};

    static void Log(LogLevel level, std::string_view channelName, std::string_view message, uint64 logId);
};

} // namespace TeamSpeak
