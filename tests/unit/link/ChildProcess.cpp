#include "unit/link/ChildProcess.h"

#include <algorithm>

namespace Tralvonic::Test {

std::optional<std::string> ChildProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (const auto end = _pending.find('\n'); end != std::string::npos) {
            std::string line = _pending.substr(0, end);
            _pending.erase(0, end + 1);
            return line;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || !ReadMore(left))
            return std::nullopt;
    }
}

std::optional<std::string> ChildProcess::WaitForLine(const std::function<bool(const std::string&)>& accept,
                                                     std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        auto line = ReadLine(std::max(left, std::chrono::milliseconds(0)));
        if (!line || accept(*line))
            return line;
        _skipped.push_back(std::move(*line));
    }
}

std::optional<std::string> ChildProcess::WaitForPrefix(std::string_view prefix,
                                                       std::chrono::milliseconds timeout) {
    return WaitForLine([prefix](const std::string& line) { return line.starts_with(prefix); }, timeout);
}

} // namespace Tralvonic::Test
