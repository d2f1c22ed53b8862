#include "core/Base.h"

#include "Model/PluginCommand.h"
#include "Model/PluginState.h"
#include "core/AudioRegistry.h"
#include "core/DelayedTasks.h"
#include "instance/GameInstance.h"
#include "link/Messages.h"

#include <algorithm>
#include <chrono>
#include <mutex>

namespace Tralvonic {

namespace {

constexpr std::chrono::milliseconds RemovalDelayMs{250};

std::mutex registryMutex;
std::vector<std::shared_ptr<GameInstance>> registry; // guarded by registryMutex
// Declared after the registry so that it is destroyed, and its thread joined, first.
DelayedTasks delayedRemovals;

template <class Matches> bool FindFirst(Matches matches, std::shared_ptr<GameInstance>& gameInstance) {
    std::lock_guard lock(registryMutex);
    const auto found =
        std::find_if(registry.begin(), registry.end(),
                     [&](const std::shared_ptr<GameInstance>& candidate) { return matches(*candidate); });
    if (found == registry.end()) {
        return false;
    }
    gameInstance = *found;
    return true;
}

void BroadcastPluginState(const GameInstance& gameInstance, std::int32_t activeInstances) {
    BroadcastRecord(Model::PluginCommand(Model::Command::PluginState, gameInstance.ServerUniqueIdentifier(),
                                         Model::PluginState(activeInstances)));
}

std::int32_t CountLocked() {
    return static_cast<std::int32_t>(registry.size());
}

// After every change, under the registry mutex so that copies are published in the order of
// the changes. The replaced copy may hold the last reference to a removed instance: the
// caller frees it after letting go of the mutex.
[[nodiscard]] std::unique_ptr<const AudioRegistry::Instances> PublishLocked() {
    return AudioRegistry::Publish(registry);
}

} // namespace

bool Base::TryGetGameInstance(std::string_view serverUniqueIdentifier,
                              std::shared_ptr<GameInstance>& gameInstance) {
    return FindFirst(
        [&](const GameInstance& candidate) {
            const auto& identifier = candidate.ServerUniqueIdentifier();
            return identifier.has_value() && *identifier == serverUniqueIdentifier;
        },
        gameInstance);
}

bool Base::TryGetGameInstance(std::uint64_t serverId, std::shared_ptr<GameInstance>& gameInstance) {
    return FindFirst(
        [&](const GameInstance& candidate) { return candidate.ServerConnectionHandle() == serverId; },
        gameInstance);
}

void Base::AddGameInstance(const std::shared_ptr<GameInstance>& gameInstance) {
    std::unique_ptr<const AudioRegistry::Instances> replaced;
    std::int32_t activeInstances = 0;
    {
        std::lock_guard lock(registryMutex);
        if (std::find(registry.begin(), registry.end(), gameInstance) == registry.end()) {
            registry.push_back(gameInstance);
            replaced = PublishLocked();
        }
        activeInstances = CountLocked();
    }
    BroadcastPluginState(*gameInstance, activeInstances);
}

Model::Error Base::TryAddGameInstance(const std::shared_ptr<GameInstance>& gameInstance) {
    const auto& identifier = gameInstance->ServerUniqueIdentifier();
    std::unique_ptr<const AudioRegistry::Instances> replaced;
    std::int32_t activeInstances = 0;
    {
        std::lock_guard lock(registryMutex);
        const bool isTaken = std::any_of(registry.begin(), registry.end(), [&](const auto& registered) {
            return registered == gameInstance ||
                   (identifier && registered->ServerUniqueIdentifier() == identifier);
        });
        if (isTaken) {
            return Model::Error::AlreadyInGame;
        }
        if (registry.size() >= MaxGameInstances) {
            return Model::Error::InvalidValue;
        }
        registry.push_back(gameInstance);
        replaced = PublishLocked();
        activeInstances = CountLocked();
    }
    BroadcastPluginState(*gameInstance, activeInstances);
    return Model::Error::OK;
}

void Base::RemoveGameInstanceDelayed(const std::shared_ptr<GameInstance>& gameInstance) {
    delayedRemovals.Schedule(RemovalDelayMs, [gameInstance] {
        std::unique_ptr<const AudioRegistry::Instances> replaced;
        std::int32_t activeInstances = 0;
        {
            std::lock_guard lock(registryMutex);
            std::erase(registry, gameInstance);
            replaced = PublishLocked();
            activeInstances = CountLocked();
        }
        replaced.reset();
        // Without a running game link BroadcastRecord sends nothing.
        BroadcastPluginState(*gameInstance, activeInstances);
    });
}

std::vector<std::shared_ptr<GameInstance>> Base::GameInstances() {
    std::lock_guard lock(registryMutex);
    return registry;
}

void Base::StopGameInstances() {
    std::vector<std::shared_ptr<GameInstance>> stopping;
    std::unique_ptr<const AudioRegistry::Instances> replaced;
    {
        std::lock_guard lock(registryMutex);
        stopping.swap(registry);
        replaced = PublishLocked();
    }
    replaced.reset();
    // Reset outside the mutex: a reset talks to the host, and no lock is held across a host
    // call. The registry is already empty, so no lookup finds an instance that is going.
    for (const auto& gameInstance : stopping) {
        gameInstance->Reset(false, false);
    }
    // An instance that timed out on its own may still be finishing that reset on its
    // keepalive thread, which may schedule a removal: wait for it before stopping removals.
    for (const auto& gameInstance : stopping) {
        gameInstance->JoinThreads();
    }
    delayedRemovals.Stop();
}

} // namespace Tralvonic
