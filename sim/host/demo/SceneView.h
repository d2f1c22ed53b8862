#pragma once
// Publishes the built-in session's scene as the game view that the console draws (the JSON
// object documented in GameView.h).

#include <string>

namespace Tralvonic::Sim::Host::Demo {

struct SceneState;

std::string SceneViewJson(const SceneState& scene);

} // namespace Tralvonic::Sim::Host::Demo
