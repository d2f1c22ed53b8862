#include "LiveLog.h"

#include <array>
#include <cstdio>
#include <string_view>

namespace Tralvonic::Sim::Host {

namespace {

// Queries are left out: a plugin reads the host all the time, and the changes are what
// a person watching wants to see.
constexpr std::array<std::string_view, 16> ShownCalls{"setClientSelfVariableAsString",
                                                      "setClientSelfVariableAsInt",
                                                      "flushClientSelfUpdates",
                                                      "requestClientMove",
                                                      "requestClientSetWhisperList",
                                                      "channelset3DAttributes",
                                                      "systemset3DListenerAttributes",
                                                      "playWaveFile",
                                                      "playWaveFileHandle",
                                                      "pauseWaveFileHandle",
                                                      "closeWaveFileHandle",
                                                      "requestMuteClients",
                                                      "requestUnmuteClients",
                                                      "setPreProcessorConfigValue",
                                                      "printMessageToCurrentTab",
                                                      "setChannelVariableAsString"};

const char* SeverityName(int severity) {
    static constexpr std::array<const char*, 6> Names{"critical", "error", "warning",
                                                      "debug",    "info",  "devel"};
    return severity >= 0 && severity < static_cast<int>(Names.size())
               ? Names[static_cast<std::size_t>(severity)]
               : "?";
}

} // namespace

void PrintLiveLog(SimulatedClient& client) {
    client.SetLogObserver([](const LogEntry& entry) {
        std::printf("[log %s] %s #%llu: %s\n", SeverityName(entry.Severity), entry.Channel.c_str(),
                    static_cast<unsigned long long>(entry.LogId), entry.Message.c_str());
    });
    client.Record().SetObserver([](const HostCall& call) {
        for (std::string_view shown : ShownCalls) {
            if (call.Function == shown) {
                std::printf("[host] %s\n", call.Text().c_str());
                return;
            }
        }
    });
}

} // namespace Tralvonic::Sim::Host
