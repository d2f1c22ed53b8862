#include "instance/SoundQueue.h"

#include <utility>

namespace Tralvonic {

bool SoundQueue::TryPush(std::shared_ptr<PlayingSound> sound) {
    std::lock_guard lock(_mutex);
    if (_sounds.size() >= Capacity) {
        return false;
    }
    _sounds.push_back(std::move(sound));
    return true;
}

std::shared_ptr<PlayingSound> SoundQueue::TryPop() {
    std::lock_guard lock(_mutex);
    if (_sounds.empty()) {
        return nullptr;
    }
    auto sound = std::move(_sounds.front());
    _sounds.pop_front();
    return sound;
}

bool SoundQueue::IsEmpty() const {
    std::lock_guard lock(_mutex);
    return _sounds.empty();
}

void SoundQueue::Clear() {
    std::deque<std::shared_ptr<PlayingSound>> dropped;
    {
        std::lock_guard lock(_mutex);
        dropped.swap(_sounds);
    }
}

} // namespace Tralvonic
