#include "instance/GameInstance.h"

#include <utility>

namespace Tralvonic {

GameInstance::GameInstance(Model::GameInstanceSettings settings) : _settings(std::move(settings)) {}

std::uint64_t GameInstance::ServerConnectionHandle() const {
    return _serverConnectionHandle.load();
}

void GameInstance::SetServerConnectionHandle(std::uint64_t serverConnectionHandle) {
    _serverConnectionHandle.store(serverConnectionHandle);
}

Model::GameInstanceState GameInstance::InstanceState() const {
    return _instanceState.load();
}

void GameInstance::SetInstanceState(Model::GameInstanceState state) {
    _instanceState.store(state);
}

} // namespace Tralvonic
