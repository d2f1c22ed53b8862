#include "Biquad.h"

#include <cmath>
#include <numbers>

namespace Tralvonic::Voice {

namespace {

struct Prototype {
    double Cosine;
    double Alpha;
};

Prototype Warp(double cutoffHz, double q, double sampleRateHz) noexcept {
    const double omega = 2.0 * std::numbers::pi * cutoffHz / sampleRateHz;
    return {std::cos(omega), std::sin(omega) / (2.0 * q)};
}

Biquad Normalize(double b0, double b1, double b2, const Prototype& p) noexcept {
    const double a0 = 1.0 + p.Alpha;
    return {static_cast<float>(b0 / a0), static_cast<float>(b1 / a0), static_cast<float>(b2 / a0),
            static_cast<float>(-2.0 * p.Cosine / a0), static_cast<float>((1.0 - p.Alpha) / a0)};
}

} // namespace

Biquad Biquad::LowPass(double cutoffHz, double q, double sampleRateHz) noexcept {
    const Prototype p = Warp(cutoffHz, q, sampleRateHz);
    const double b1 = 1.0 - p.Cosine;
    return Normalize(b1 / 2.0, b1, b1 / 2.0, p);
}

Biquad Biquad::HighPass(double cutoffHz, double q, double sampleRateHz) noexcept {
    const Prototype p = Warp(cutoffHz, q, sampleRateHz);
    const double b0 = (1.0 + p.Cosine) / 2.0;
    return Normalize(b0, -(1.0 + p.Cosine), b0, p);
}

} // namespace Tralvonic::Voice
