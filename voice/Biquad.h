#pragma once
// Coefficients of one biquad section: the low-pass and high-pass formulas of Robert
// Bristow-Johnson's audio-EQ cookbook, normalised so that a0 is 1. Two sections with the
// Butterworth Q values below make a fourth-order Butterworth slope (24 dB per octave).

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

    static Biquad LowPass(double cutoffHz, double q, double sampleRateHz) noexcept;
    static Biquad HighPass(double cutoffHz, double q, double sampleRateHz) noexcept;
};

} // namespace Tralvonic::Voice
