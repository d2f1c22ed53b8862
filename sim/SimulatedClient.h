#pragma once
// A simulated TeamSpeak 3 client: the host a plugin sees through its function table.
// Constructing one makes it the active host of the process (one at a time); the table's
// entries reach it through ActiveClient. It records every call, keeps the host log, counts
// every block it hands out, and holds a small world of server tabs that tests build.
// All members may be called from any thread.

#include "CallRecord.h"
#include "ChangeSignal.h"
#include "HostMemory.h"

#include "TeamSpeak/sdk/HostFunctions.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic::Sim {

struct LogEntry {
    std::string Message;
    int Severity = 0;
    std::string Channel;
    std::uint64_t LogId = 0;
};

class SimulatedClient {
public:
    static constexpr std::chrono::milliseconds DefaultTimeout{5000};

    SimulatedClient();
    ~SimulatedClient();
    SimulatedClient(const SimulatedClient&) = delete;
    SimulatedClient& operator=(const SimulatedClient&) = delete;

    // The table a plugin receives through ts3plugin_setFunctionPointers; all 230 slots set.
    const TeamSpeak::TS3Functions& Functions() const { return _functions; }

    // --- the host log (HostLog.cpp) ---
    std::vector<LogEntry> LogEntries() const;
    void ClearLog();
    void AddLogEntry(LogEntry entry);
    // Called on the logging thread for every new entry, outside any lock.
    void SetLogObserver(std::function<void(const LogEntry&)> observer);

    // --- allocations handed to the plugin ---
    HostMemory& Memory() { return _memory; }
    const HostMemory& Memory() const { return _memory; }

    // --- the call record and waiting ---
    CallRecord& Record() { return _record; }
    const CallRecord& Record() const { return _record; }
    std::vector<HostCall> Calls(std::string_view function) const { return _record.Calls(function); }
    std::size_t CallCount(std::string_view function) const { return _record.CallCount(function); }
    std::optional<HostCall> LastCall(std::string_view function) const { return _record.LastCall(function); }
    // True once `predicate` holds; re-checked after every call, world change and event.
    bool WaitFor(const std::function<bool()>& predicate, std::chrono::milliseconds timeout = DefaultTimeout) const;
    // True once `function` has completed at least `count` times in all.
    bool WaitForCall(std::string_view function, std::chrono::milliseconds timeout = DefaultTimeout,
                     std::size_t count = 1) const;
    // Wakes waiters; the world and the event threads call this after every change.
    void NotifyChanged() { _signal.Notify(); }

private:
    ChangeSignal _signal;
    CallRecord _record{_signal};
    HostMemory _memory;
    TeamSpeak::TS3Functions _functions{};

    mutable std::mutex _logMutex;
    std::vector<LogEntry> _log;                              // guarded by _logMutex
    std::function<void(const LogEntry&)> _logObserver;       // guarded by _logMutex
};

} // namespace Tralvonic::Sim
