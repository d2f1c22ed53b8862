#include "Inbox.h"

#include <algorithm>

namespace Tralvonic::Sim::Host::Demo {

void Inbox::Add(PluginReport report) {
    {
        std::lock_guard lock(_mutex);
        _reports.push_back(std::move(report));
        if (_reports.size() > Capacity) {
            _reports.pop_front();
        }
        ++_received;
    }
    _changed.notify_all();
}

std::uint64_t Inbox::Mark() const {
    std::lock_guard lock(_mutex);
    return _received;
}

bool Inbox::WaitFor(std::uint64_t mark, const std::function<bool(const PluginReport&)>& accept,
                    std::chrono::milliseconds timeout) {
    std::unique_lock lock(_mutex);
    std::uint64_t checked = mark;
    const auto found = [&] {
        // _reports holds the reports numbered _received - size() up to _received - 1.
        const std::uint64_t first = _received - _reports.size();
        for (std::uint64_t number = std::max(checked, first); number < _received; ++number) {
            if (accept(_reports[static_cast<std::size_t>(number - first)])) {
                return true;
            }
        }
        checked = _received;
        return false;
    };
    bool accepted = false;
    _changed.wait_for(lock, timeout, [&] { return _stopped || (accepted = found()); });
    return accepted && !_stopped;
}

bool Inbox::Pause(std::chrono::milliseconds duration) {
    std::unique_lock lock(_mutex);
    return !_changed.wait_for(lock, duration, [&] { return _stopped; });
}

void Inbox::Stop() {
    {
        std::lock_guard lock(_mutex);
        _stopped = true;
    }
    _changed.notify_all();
}

bool Inbox::IsStopped() const {
    std::lock_guard lock(_mutex);
    return _stopped;
}

} // namespace Tralvonic::Sim::Host::Demo
