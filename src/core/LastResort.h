#pragma once
// The last line of defence: whatever escapes the plugin's code is logged instead of taking
// the host down with it. Every thread entry point of the plugin runs through RunGuarded.

#include <exception>
#include <functional>
#include <string>

namespace Tralvonic {

// Installs the process-wide terminate handler that logs the failure before terminating.
void InstallLastResortHandler();
// Puts back the handler that was in place before InstallLastResortHandler, so that the
// process keeps no pointer into a library that is about to be unloaded.
void RemoveLastResortHandler();

// The full text of the exception currently being handled, for log lines.
std::string DescribeCurrentException();

// Runs `body`, logging with LogError on channel Base anything it throws.
void RunGuarded(const std::function<void()>& body) noexcept;

} // namespace Tralvonic
