#include "link/ConnectionId.h"

#include <boost/uuid/random_generator.hpp>
#include <boost/uuid/uuid_io.hpp>

namespace Tralvonic {

std::string NewConnectionId() {
    // The generator is not thread-safe; one per thread keeps callers lock-free.
    thread_local boost::uuids::random_generator generator;
    return boost::uuids::to_string(generator());
}

} // namespace Tralvonic
