// The host log and the release of host allocations: logMessage and freeMemory.

#include "HostEntry.h"
#include "HostTable.h"
#include "SimulatedClient.h"

namespace Tralvonic::Sim {

namespace {

unsigned int LogMessage(SimulatedClient& client, const char* message, TeamSpeak::LogLevel severity,
                        const char* channel, TeamSpeak::uint64 logId) {
    client.AddLogEntry(LogEntry{message != nullptr ? message : "", static_cast<int>(severity),
                                channel != nullptr ? channel : "", logId});
    return static_cast<unsigned int>(TeamSpeak::Error::Ok);
}

// The real client cannot tell a foreign pointer from its own and would corrupt its heap;
// the simulation refuses it and counts the fault instead.
unsigned int FreeMemory(SimulatedClient& client, void* pointer) {
    const bool freed = client.Memory().Free(pointer);
    return static_cast<unsigned int>(freed ? TeamSpeak::Error::Ok : TeamSpeak::Error::ParameterInvalid);
}

} // namespace

void InstallLogAndMemory(TeamSpeak::TS3Functions& table) {
    Install<&TeamSpeak::TS3Functions::logMessage, &LogMessage>(table);
    Install<&TeamSpeak::TS3Functions::freeMemory, &FreeMemory>(table);
}

std::vector<LogEntry> SimulatedClient::LogEntries() const {
    std::lock_guard lock(_logMutex);
    return _log;
}

void SimulatedClient::ClearLog() {
    std::lock_guard lock(_logMutex);
    _log.clear();
}

void SimulatedClient::AddLogEntry(LogEntry entry) {
    std::function<void(const LogEntry&)> observer;
    {
        std::lock_guard lock(_logMutex);
        _log.push_back(entry);
        observer = _logObserver;
    }
    NotifyChanged();
    if (observer) {
        observer(entry);
    }
}

void SimulatedClient::SetLogObserver(std::function<void(const LogEntry&)> observer) {
    std::lock_guard lock(_logMutex);
    _logObserver = std::move(observer);
}

} // namespace Tralvonic::Sim
