#include "GameView.h"

#include <utility>

namespace Tralvonic::Sim::Host {

void GameView::Publish(std::string json) {
    std::lock_guard lock(_mutex);
    _json = std::move(json);
    ++_version;
}

std::string GameView::Latest() const {
    std::lock_guard lock(_mutex);
    return _json;
}

std::uint64_t GameView::Version() const {
    std::lock_guard lock(_mutex);
    return _version;
}

} // namespace Tralvonic::Sim::Host
