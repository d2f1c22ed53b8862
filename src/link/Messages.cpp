#include "link/Messages.h"

#include "core/Base.h"
#include "link/WebSocket.h"

#include <utility>

namespace Tralvonic {

void SendSerialized(const std::shared_ptr<Connection>& connection, std::string text) {
    if (auto webSocket = Base::WebSocket()) {
        webSocket->Send(connection, std::move(text), MessageForm::Serialized);
    }
}

void BroadcastSerialized(std::string text) {
    if (auto webSocket = Base::WebSocket()) {
        webSocket->Broadcast(std::move(text), MessageForm::Serialized);
    }
}

} // namespace Tralvonic
