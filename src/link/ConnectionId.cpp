#include "link/ConnectionId.h"

#include "core/PerThread.h"

#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid_io.hpp>

namespace Tralvonic {

std::string NewConnectionId() {
    // The generator is not thread-safe; one per thread keeps callers lock-free.
    static PerThread<boost::uuids::random_generator> generators;
    return boost::uuids::to_string(generators.Get()());
}

} // namespace Tralvonic
