#pragma once
// How tralvonic-host learns that it should stop: Ctrl-C or a termination request from outside,
// or the program's own request ("quit", the end of the demo scene) from any of its threads.
// POSIX signals on Linux (StopSignalPosix.cpp), the console's control handler on Windows
// (StopSignalWin32.cpp). The reasons keep their POSIX names on both, so the output reads alike.

#include <string>

namespace Tralvonic::Sim::Host {

class StopSignal {
public:
    // On the main thread, before any other thread starts.
    static void Install();
    // Blocks until a stop comes; returns "SIGINT" for Ctrl-C, "SIGTERM" for anything else.
    static std::string Wait();
    // Any thread: asks the waiting main thread to stop, as a termination request would.
    static void Request();
};

} // namespace Tralvonic::Sim::Host
