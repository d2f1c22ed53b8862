#pragma once
// The registered game instances as the host's audio threads see them: a copy of the
// registry, published by the registry on every change and found by handler without a lock.
// A borrowed copy keeps its instances alive, and the registry frees replaced copies on its
// own threads, so an instance is never destroyed inside an audio callback.

#include "core/RealtimeSnapshot.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace Tralvonic {

class GameInstance;

namespace AudioRegistry {

using Instances = std::vector<std::shared_ptr<GameInstance>>;
using Reader = RealtimeSnapshot<Instances>::Reader;

// Audio threads: wait-free.
Reader Read() noexcept;
// The first instance of `reader` with this server connection handler id; null when none.
GameInstance* Find(const Reader& reader, std::uint64_t serverConnectionHandlerId) noexcept;
// The registry, after each change: hands back the replaced copy to be freed by the caller.
std::unique_ptr<const Instances> Publish(Instances instances);

} // namespace AudioRegistry
} // namespace Tralvonic
