#include "link/Messages.h"

#include "core/Base.h"
#include "link/WebSocket.h"

#include <mutex>
#include <utility>

namespace Tralvonic {

namespace {

std::mutex observerMutex;
std::shared_ptr<const BroadcastObserver> observer; // guarded by observerMutex

std::shared_ptr<const BroadcastObserver> CurrentObserver() {
    std::lock_guard lock(observerMutex);
    return observer;
}

} // namespace

void SendSerialized(const std::shared_ptr<Connection>& connection, std::string text) {
    if (auto webSocket = Base::WebSocket()) {
        webSocket->Send(connection, std::move(text), MessageForm::Serialized);
    }
}

void BroadcastSerialized(std::string text) {
    if (const auto current = CurrentObserver()) {
        (*current)(text);
    }
    if (auto webSocket = Base::WebSocket()) {
        webSocket->Broadcast(std::move(text), MessageForm::Serialized);
    }
}

void SetBroadcastObserver(BroadcastObserver next) {
    auto replacement = next ? std::make_shared<const BroadcastObserver>(std::move(next))
                            : std::shared_ptr<const BroadcastObserver>();
    std::lock_guard lock(observerMutex);
    // The previous observer dies outside the lock, once its last caller is done with it.
    observer.swap(replacement);
}

} // namespace Tralvonic
