#include "core/Configuration.h"

namespace Tralvonic {

bool Configuration::ValidateExpertMode() {
    if (ExpertMode)
        return true;

    const Configuration defaults;
    bool unchanged = true;
    if (UpdateBranch > Tralvonic::UpdateBranch::Testing) {
        UpdateBranch = defaults.UpdateBranch;
        unchanged = false;
    }
    if (LogLevel != defaults.LogLevel) {
        LogLevel = defaults.LogLevel;
        unchanged = false;
    }
    if (WebSocketAddress != defaults.WebSocketAddress) {
        WebSocketAddress = defaults.WebSocketAddress;
        unchanged = false;
    }
    if (OriginExceptions != defaults.OriginExceptions) {
        OriginExceptions = defaults.OriginExceptions;
        unchanged = false;
    }
    return unchanged;
}

std::vector<std::string> Configuration::DefaultOriginExceptions() {
    return {
        // The one http origin let in by default: a game's own UI page, served by the game on
        // the port next to the plugin's WebSocket port.
        "^http://127\\.0\\.0\\.1:38089$",
        // Everything that is not a web page at all (file pages send "null", game clients
        // usually send no origin).
        "^(?:(?!http).)*$",
    };
}

} // namespace Tralvonic
