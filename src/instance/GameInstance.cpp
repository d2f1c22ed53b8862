#include "instance/GameInstance.h"

#include "core/Base.h"

#include <utility>

namespace Tralvonic {

namespace {

GameInstance::Clock::rep Ticks(GameInstance::Clock::time_point time) {
    return time.time_since_epoch().count();
}

} // namespace

GameInstance::GameInstance(Model::GameInstanceSettings settings)
    : _settings(std::move(settings)), _created(Clock::now()), _nextPingTime(Ticks(_created)),
      _resetDeadline(Ticks(_created + std::chrono::seconds(Base::CurrentConfiguration()->InstanceTimeout))),
      _lastStartTime(Ticks(_created)) {}

GameInstance::~GameInstance() {
    // A reset normally joins both threads; after a keepalive time-out the keepalive thread
    // ended by itself and is joined here. Threads hold no reference to the instance, so this
    // never runs on one of them.
    _isResetted.store(true);
    JoinThreads();
}

} // namespace Tralvonic
