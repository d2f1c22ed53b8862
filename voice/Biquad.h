#pragma once
// Coefficients of one biquad section: the low-pass and high-pass formulas of Robert
// Bristow-Johnson's audio-EQ cookbook, normalised so that a0 is 1. Two sections with the
// Butterworth Q values below make a fourth-order Butterworth slope (24 dB per octave).

#include <array>
#include <cstddef>

namespace Tralvonic::Voice {

constexpr double ButterworthSecondOrderQ = 0.7071067811865476;
// The two sections of a fourth-order Butterworth filter.
constexpr double ButterworthFourthOrderQ1 = 0.5411961001461971;
constexpr double ButterworthFourthOrderQ2 = 1.3065629648763766;

struct Biquad {
    float B0 = 1.0f;
    float B1 = 0.0f;
    float B2 = 0.0f;
    float A1 = 0.0f;
    float A2 = 0.0f;

    // A section that passes its input unchanged.
    static constexpr Biquad Identity() noexcept { return {}; }
    static Biquad LowPass(double cutoffHz, double q, double sampleRateHz) noexcept;
    static Biquad HighPass(double cutoffHz, double q, double sampleRateHz) noexcept;

    // The section a fraction `t` (0..1) of the way from `from` to `to`. The stable (a1, a2)
    // form a triangle, which is convex, so every section between two stable ones is stable.
    static Biquad Between(const Biquad& from, const Biquad& to, float t) noexcept;

    bool operator==(const Biquad&) const = default;
};

template <std::size_t Sections> using BiquadChain = std::array<Biquad, Sections>;

template <std::size_t Sections>
BiquadChain<Sections> Between(const BiquadChain<Sections>& from, const BiquadChain<Sections>& to,
                              float t) noexcept {
    BiquadChain<Sections> chain;
    for (std::size_t i = 0; i < Sections; ++i) {
        chain[i] = Biquad::Between(from[i], to[i], t);
    }
    return chain;
}

} // namespace Tralvonic::Voice
