#pragma once
// An exception that crosses the C boundary into the host ends the TeamSpeak client, so
// every export runs its work through one of these guards: whatever escapes is logged with
// its full text (LogError, channel Base) and the export returns its failure value. The body
// is a template rather than a std::function so that the audio exports neither allocate
// nor call indirectly on every block.

#include "core/LastResort.h"
#include "core/Logger.h"

namespace Tralvonic {

inline void LogEscapedException() noexcept {
    try {
        Logger::LogError(DescribeCurrentException(), LogChannel::Base);
    } catch (...) {
        // Logging itself failed; nothing is left to report it to.
    }
}

template <typename Body> void Guarded(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        LogEscapedException();
    }
}

template <typename Result, typename Body> Result Guarded(Result onFailure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        LogEscapedException();
        return onFailure;
    }
}

} // namespace Tralvonic
