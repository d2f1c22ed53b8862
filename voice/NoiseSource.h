#pragma once
// White noise from a 32-bit xorshift generator (Marsaglia, shifts 13, 17, 5): no allocation,
// no lock, and the same sequence from the same seed, so an effect's noise is reproducible.

#include <cstdint>

namespace Tralvonic::Voice {

class NoiseSource {
public:
    explicit NoiseSource(std::uint32_t seed = 0x9E3779B9u) noexcept : _state(seed != 0 ? seed : 1u) {}

    // Uniform in -1..1.
    float Next() noexcept {
        return static_cast<float>(static_cast<std::int32_t>(Advance())) * (1.0f / 2147483648.0f);
    }

    // Uniform in 0..1.
    float NextUnit() noexcept { return static_cast<float>(Advance() >> 8) * (1.0f / 16777216.0f); }

private:
    std::uint32_t Advance() noexcept {
        _state ^= _state << 13;
        _state ^= _state >> 17;
        _state ^= _state << 5;
        return _state;
    }

    std::uint32_t _state;
};

} // namespace Tralvonic::Voice
