#pragma once
// Every call the plugin makes into the simulated client, in order, with its arguments as
// text (see ArgumentText.h) and its result. Any thread may add and query.

#include "ChangeSignal.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace Tralvonic::Sim {

struct HostCall {
    std::uint64_t Sequence = 0;
    std::string Function;
    std::vector<std::string> Arguments;
    // The returned value; absent for functions without a result and while the call runs.
    std::optional<std::uint64_t> Result;
    bool Completed = false;
    std::thread::id Thread;

    // "requestClientMove(1, 5, 3, , <null>) = 0"
    std::string Text() const;
    const std::string& Argument(std::size_t index) const;
    std::uint64_t NumberArgument(std::size_t index) const;
};

class CallRecord {
public:
    explicit CallRecord(ChangeSignal& signal) : _signal(signal) {}

    // Adds a running call and returns its sequence number.
    std::uint64_t Begin(std::string_view function, std::vector<std::string> arguments);
    void Complete(std::uint64_t sequence, std::optional<std::uint64_t> result);

    std::vector<HostCall> All() const;
    std::vector<HostCall> Calls(std::string_view function) const;
    std::size_t CallCount(std::string_view function) const;
    std::optional<HostCall> LastCall(std::string_view function) const;
    void Clear();

    // Called on the calling thread after each completed call, outside any lock.
    void SetObserver(std::function<void(const HostCall&)> observer);

private:
    ChangeSignal& _signal;
    mutable std::mutex _mutex;
    std::vector<HostCall> _calls;                   // guarded by _mutex
    std::uint64_t _nextSequence = 1;                // guarded by _mutex
    std::function<void(const HostCall&)> _observer; // guarded by _mutex
};

} // namespace Tralvonic::Sim
