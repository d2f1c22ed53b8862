#include "instance/SelfStateWrapper.h"

namespace Tralvonic {

float SelfStateWrapper::Rotation() const {
    // Degrees to radians in double precision, as the offsets are computed.
    return static_cast<float>(0.017453292519943295 * (static_cast<double>(State().Rotation) * -1.0));
}

} // namespace Tralvonic
