#pragma once
// The whisper list last computed, and the sending of it to the host. Recalculations race
// (a game command and a host move, each on its own thread), and the host call must not be
// made under a lock; so whoever finds a list being sent leaves his own for the sender, who
// sends again until no newer list came in meanwhile. The host always ends with the latest.

#include "TeamSpeak/sdk/HostTypes.h"

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <vector>

namespace Tralvonic {

class WhisperList {
public:
    using Ids = std::vector<TeamSpeak::anyID>;

    Ids Load() const {
        std::lock_guard lock(_mutex);
        return _ids;
    }

    // Stores the list. When it differs as a set from the one before, `send` is called with the
    // latest list, outside the lock, on this thread or on the thread already sending.
    template <class Send> void Publish(Ids ids, Send send) {
        {
            std::lock_guard lock(_mutex);
            const bool isSameSet = IsSameSet(_ids, ids);
            _ids = std::move(ids);
            if (isSameSet)
                return;
            ++_version;
            if (_isSending)
                return;
            _isSending = true;
        }
        for (;;) {
            Ids latest;
            std::uint64_t version = 0;
            {
                std::lock_guard lock(_mutex);
                latest = _ids;
                version = _version;
            }
            try {
                send(std::move(latest));
            } catch (...) {
                std::lock_guard lock(_mutex);
                _isSending = false;
                throw;
            }
            std::lock_guard lock(_mutex);
            if (version == _version) {
                _isSending = false;
                return;
            }
        }
    }

private:
    static bool IsSameSet(Ids first, Ids second) {
        if (first.size() != second.size())
            return false;
        std::sort(first.begin(), first.end());
        std::sort(second.begin(), second.end());
        return first == second;
    }

    mutable std::mutex _mutex;
    Ids _ids;                   // guarded by _mutex
    std::uint64_t _version = 0; // guarded by _mutex
    bool _isSending = false;    // guarded by _mutex
};

} // namespace Tralvonic
