#pragma once
// The client of the online update service: the newest plugin version of the user's update
// branch, and the service's download page. The service's address is fixed when the plugin is
// built; every path below it starts with "/tralvonic".
// Any thread.

#include "core/Configuration.h"

#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace Tralvonic {

class WebAPI {
public:
    // The newest version of the configured branch: the body of a 2xx answer, unchanged.
    // None for any other status (not logged) and for a failed or timed-out transfer (logged
    // on channel Base). Blocks the calling background thread for up to 40 seconds, and
    // returns none at once, without a log line, when `stop` is requested.
    static std::optional<std::string> GetVersionAsync(std::stop_token stop = {});
    // Asks the desktop to open the download page of `version` in the default browser;
    // returns at once. The version is one path segment of the address, whatever it holds.
    static void OpenDownload(std::string_view version);

    // Scheme and host of the service, without a trailing separator.
    static std::string ServiceAddress();
    // Points the client at another service, for tests and diagnostics; an empty address
    // restores the one the plugin was built with.
    static void SetServiceAddress(std::string address);
    // The service's host name, as the log lines name it.
    static std::string ServiceHostName();
    // The branch as the service names it: "Stable", "Testing", "Preview".
    static std::string BranchName(UpdateBranch branch);
};

} // namespace Tralvonic
