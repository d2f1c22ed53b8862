#pragma once
// A simulated TeamSpeak 3 client: the host a plugin sees through its function table.
// Constructing one makes it the active host of the process (one at a time); the table's
// entries reach it through ActiveClient. It records every call, keeps the host log, counts
// every block it hands out, holds a world of server tabs that tests build through SimServer,
// and delivers host events to an attached plugin on its own event thread.
// All members may be called from any thread.

#include "CallRecord.h"
#include "ChangeSignal.h"
#include "EventQueue.h"
#include "HostMemory.h"
#include "PluginExports.h"
#include "SimServer.h"
#include "World.h"

#include "TeamSpeak/sdk/ErrorCodes.h"
#include "TeamSpeak/sdk/HostFunctions.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
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

    // --- the world (SimulatedClient.cpp; per tab: SimServer) ---
    // A new server tab, connected unless told otherwise; building raises no event.
    SimServer& AddServer(std::string uniqueIdentifier, std::string name,
                         int status = TeamSpeak::STATUS_CONNECTION_ESTABLISHED);
    // Throws std::out_of_range for an unknown handler.
    SimServer& Server(uint64 handler);
    void SetCurrentServer(uint64 handler);
    // Texts the plugin printed to the current chat tab, in order.
    std::vector<std::string> ChatMessages() const;
    void SetPermissionId(std::string name, unsigned int id);
    // The answer to every following requestPermissionOverview.
    void SetPermissionOverviewAnswer(PermissionOverviewAnswer answer);
    World& GetWorld() { return _world; }

    // --- faults (SimulatedClient.cpp) ---
    // The `nth` next call of `function` answers `code` at once and has no effect.
    void FailCall(std::string function, TeamSpeak::Error code, std::size_t nth = 1);
    // Used by the table's entries: the injected code for this call, if any.
    std::optional<unsigned int> TakeInjectedFault(std::string_view function);

    // --- the plugin and its events (SimulatedClient.cpp) ---
    // Events go to `exports` from now on; PluginDriver attaches the plugin it loads.
    void AttachPlugin(const PluginExports& exports);
    void DetachPlugin();
    // Queues `event` for the event thread; dropped when no plugin is attached then.
    void Raise(std::function<void(const PluginExports&)> event);
    // Queues work of the server side (answering a request) for the event thread.
    void Post(std::function<void()> work);
    // Runs `work` on the event thread, after the events queued before, and waits for it.
    void RunOnEventThread(const std::function<void()>& work) { _events.Call(work); }
    // On the event thread: hands `event` to the attached plugin now, if there is one.
    void Deliver(const std::function<void(const PluginExports&)>& event);
    // True once every raised event has been delivered.
    bool WaitForEvents(std::chrono::milliseconds timeout = DefaultTimeout) const;
    // The attached plugin, for the audio thread and the driver; null when none.
    std::shared_ptr<const PluginExports> Plugin() const;

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
    bool WaitFor(const std::function<bool()>& predicate,
                 std::chrono::milliseconds timeout = DefaultTimeout) const;
    // True once `function` has completed at least `count` times in all.
    bool WaitForCall(std::string_view function, std::chrono::milliseconds timeout = DefaultTimeout,
                     std::size_t count = 1) const;
    // Wakes waiters; called after every change.
    void NotifyChanged() { _signal.Notify(); }

private:
    ChangeSignal _signal;
    CallRecord _record{_signal};
    HostMemory _memory;
    TeamSpeak::TS3Functions _functions{};
    World _world;
    std::vector<std::unique_ptr<SimServer>> _serverViews; // guarded by _world.Mutex

    mutable std::mutex _logMutex;
    std::vector<LogEntry> _log;                        // guarded by _logMutex
    std::function<void(const LogEntry&)> _logObserver; // guarded by _logMutex

    mutable std::mutex _pluginMutex;
    std::shared_ptr<const PluginExports> _plugin; // guarded by _pluginMutex
    std::map<std::string, std::vector<std::optional<unsigned int>>, std::less<>>
        _faults; // guarded by _pluginMutex

    EventQueue _events{[this] {
        NotifyChanged();
    }}; // last: its thread stops first
};

} // namespace Tralvonic::Sim
