#pragma once
// The numbered sources of the plugin's log lines; the number goes to the host as log id.

#include <cstdint>

namespace Tralvonic {

enum class LogChannel : std::uint64_t {
    Wrapper = 1,
    Base = 2,
    WebSocketStart = 3,
    WebSocketOnOpen = 4,
    WebSocketOnClose = 5,
    WebSocketOnMessage = 6,
    WebSocketStop = 7,
    WebSocketForbiddenOrigin = 8,
    GameInstance = 9,
    PlayerUpdate = 10,
    AudioPlayer = 11,
    WebSocketSendMessage = 12,
};

} // namespace Tralvonic
