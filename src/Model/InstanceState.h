#pragma once
// Parameter of the InstanceState command: a game instance's state with the two flags the game
// acts on. The flags are derived from the state, so they cannot disagree with it.

#include "Model/GameInstanceState.h"
#include "Model/Json.h"

namespace Tralvonic::Model {

struct InstanceState {
    bool IsConnectedToServer = false;
    bool IsReady = false;
    GameInstanceState State = GameInstanceState::NotConnected;

    InstanceState() = default;
    explicit InstanceState(GameInstanceState state)
        : IsConnectedToServer(state != GameInstanceState::NotConnected),
          IsReady(state == GameInstanceState::Ingame), State(state) {}

    bool operator==(const InstanceState&) const = default;
};
BOOST_DESCRIBE_STRUCT(InstanceState, (), (IsConnectedToServer, IsReady, State))

} // namespace Tralvonic::Model
