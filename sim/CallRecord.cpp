#include "CallRecord.h"

#include <algorithm>
#include <stdexcept>

namespace Tralvonic::Sim {

std::string HostCall::Text() const {
    std::string text = Function + "(";
    for (std::size_t i = 0; i < Arguments.size(); ++i) {
        text += (i > 0 ? ", " : "") + Arguments[i];
    }
    text += ")";
    if (Result) {
        text += " = " + std::to_string(*Result);
    }
    return text;
}

const std::string& HostCall::Argument(std::size_t index) const {
    if (index >= Arguments.size()) {
        throw std::out_of_range(Function + " has no argument " + std::to_string(index));
    }
    return Arguments[index];
}

std::uint64_t HostCall::NumberArgument(std::size_t index) const {
    return std::stoull(Argument(index));
}

std::uint64_t CallRecord::Begin(std::string_view function, std::vector<std::string> arguments) {
    std::uint64_t sequence;
    {
        std::lock_guard lock(_mutex);
        sequence = _nextSequence++;
        _calls.push_back(HostCall{sequence, std::string(function), std::move(arguments), std::nullopt, false,
                                  std::this_thread::get_id()});
    }
    _signal.Notify();
    return sequence;
}

void CallRecord::Complete(std::uint64_t sequence, std::optional<std::uint64_t> result) {
    std::optional<HostCall> completed;
    std::function<void(const HostCall&)> observer;
    {
        std::lock_guard lock(_mutex);
        // Calls complete nearly in order, so the search from the back is short.
        auto found = std::find_if(_calls.rbegin(), _calls.rend(),
                                  [&](const HostCall& call) { return call.Sequence == sequence; });
        observer = _observer;
        if (found != _calls.rend()) {
            found->Result = result;
            found->Completed = true;
            // Only an observer needs its own copy of the call.
            if (observer)
                completed = *found;
        }
    }
    _signal.Notify();
    if (completed && observer) {
        observer(*completed);
    }
}

std::vector<HostCall> CallRecord::All() const {
    std::lock_guard lock(_mutex);
    return _calls;
}

std::vector<HostCall> CallRecord::Calls(std::string_view function) const {
    std::lock_guard lock(_mutex);
    std::vector<HostCall> calls;
    std::copy_if(_calls.begin(), _calls.end(), std::back_inserter(calls),
                 [&](const HostCall& call) { return call.Function == function; });
    return calls;
}

std::size_t CallRecord::CallCount(std::string_view function) const {
    std::lock_guard lock(_mutex);
    return static_cast<std::size_t>(std::count_if(_calls.begin(), _calls.end(), [&](const HostCall& call) {
        return call.Function == function && call.Completed;
    }));
}

std::optional<HostCall> CallRecord::LastCall(std::string_view function) const {
    std::lock_guard lock(_mutex);
    auto found = std::find_if(_calls.rbegin(), _calls.rend(),
                              [&](const HostCall& call) { return call.Function == function; });
    if (found == _calls.rend()) {
        return std::nullopt;
    }
    return *found;
}

void CallRecord::Clear() {
    {
        std::lock_guard lock(_mutex);
        _calls.clear();
    }
    _signal.Notify();
}

void CallRecord::SetObserver(std::function<void(const HostCall&)> observer) {
    std::lock_guard lock(_mutex);
    _observer = std::move(observer);
}

} // namespace Tralvonic::Sim
