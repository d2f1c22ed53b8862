#include "core/AudioRegistry.h"

#include "instance/GameInstance.h"

namespace Tralvonic::AudioRegistry {

namespace {

RealtimeSnapshot<Instances>& Snapshot() {
    static RealtimeSnapshot<Instances> snapshot;
    return snapshot;
}

} // namespace

Reader Read() noexcept {
    return Snapshot().Read();
}

GameInstance* Find(const Reader& reader, std::uint64_t serverConnectionHandlerId) noexcept {
    if (!reader) {
        return nullptr;
    }
    for (const auto& gameInstance : *reader) {
        if (gameInstance->ServerConnectionHandle() == serverConnectionHandlerId) {
            return gameInstance.get();
        }
    }
    return nullptr;
}

std::unique_ptr<const Instances> Publish(Instances instances) {
    return Snapshot().Publish(std::make_unique<const Instances>(std::move(instances)));
}

} // namespace Tralvonic::AudioRegistry
