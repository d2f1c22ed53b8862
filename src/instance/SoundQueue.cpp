#include "instance/SoundQueue.h"

#include <utility>

namespace Tralvonic {

void SoundQueue::Push(std::shared_ptr<PlayingSound> sound) {
    std::lock_guard lock(_mutex);
    _sounds.push_back(std::move(sound));
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
