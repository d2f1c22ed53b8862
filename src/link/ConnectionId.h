#pragma once
// Identifiers of game connections: random version-4 UUIDs in lower-case 8-4-4-4-12 form.

#include <string>

namespace Tralvonic {

// Any thread; draws from the operating system's random source.
std::string NewConnectionId();

} // namespace Tralvonic
