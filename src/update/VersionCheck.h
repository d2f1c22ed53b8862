#pragma once
// The once-per-start check for a newer plugin version: asks the update service for the newest
// version of the user's update branch, logs the answer, and offers a different version for
// download. It runs on a thread of its own so that it never delays the start; the stop
// cancels and joins that thread, because the host may unload the library as soon as the
// stop returns.

#include <stop_token>

namespace Tralvonic {

class VersionCheck {
public:
    // Runs CheckVersion on the check's own thread and returns at once; does nothing while a
    // check is still running. Any thread.
    static void Start();
    // Ends a running check: its transfer stops at once, a download offer it has not shown
    // yet is not shown, and its thread is joined. A message box that is already open keeps
    // the stop waiting until it is answered, since the platform cannot close it.
    // Any thread but the check's own.
    static void Stop();
    // True from Start until the check's thread has finished.
    static bool IsRunning();

    // The whole check on the calling thread: the service query (up to 40 seconds), the log
    // line on channel Base, and the download offer. Ends at once, and silently, once `stop`
    // is requested.
    static void CheckVersion(std::stop_token stop = {});
};

} // namespace Tralvonic
