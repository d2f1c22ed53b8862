#include "FilterCascade.h"

#include <cmath>
#include <numbers>

namespace Tralvonic::Voice {

namespace {

constexpr float DenormalThreshold = 1e-15f;

struct Prototype {
    double Cosine;
    double Alpha;
};

Prototype Warp(double cutoffHz, double q) noexcept {
    const double omega = 2.0 * std::numbers::pi * cutoffHz / SampleRateHz;
    return {std::cos(omega), std::sin(omega) / (2.0 * q)};
}

BiquadCoefficients Normalize(double b0, double b1, double b2, const Prototype& p) noexcept {
    const double a0 = 1.0 + p.Alpha;
    return {static_cast<float>(b0 / a0), static_cast<float>(b1 / a0), static_cast<float>(b2 / a0),
            static_cast<float>(-2.0 * p.Cosine / a0), static_cast<float>((1.0 - p.Alpha) / a0)};
}

} // namespace

BiquadCoefficients BiquadCoefficients::LowPass(double cutoffHz, double q) noexcept {
    const Prototype p = Warp(cutoffHz, q);
    const double b1 = 1.0 - p.Cosine;
    return Normalize(b1 / 2.0, b1, b1 / 2.0, p);
}

BiquadCoefficients BiquadCoefficients::HighPass(double cutoffHz, double q) noexcept {
    const Prototype p = Warp(cutoffHz, q);
    const double b0 = (1.0 + p.Cosine) / 2.0;
    return Normalize(b0, -(1.0 + p.Cosine), b0, p);
}

void FilterCascade::SetSections(std::initializer_list<BiquadCoefficients> sections) noexcept {
    _sectionCount = 0;
    for (const BiquadCoefficients& section : sections) {
        if (_sectionCount == MaxSections) {
            break;
        }
        _sections[static_cast<std::size_t>(_sectionCount++)] = section;
    }
}

void FilterCascade::SetBand(double lowCutHz, double highCutHz) noexcept {
    SetSections({BiquadCoefficients::HighPass(lowCutHz, ButterworthFourthOrderQ1),
                 BiquadCoefficients::HighPass(lowCutHz, ButterworthFourthOrderQ2),
                 BiquadCoefficients::LowPass(highCutHz, ButterworthFourthOrderQ1),
                 BiquadCoefficients::LowPass(highCutHz, ButterworthFourthOrderQ2)});
}

void FilterCascade::Reset() noexcept {
    _memory = {};
}

void FilterCascade::FlushDenormals() noexcept {
    for (auto& channel : _memory) {
        for (auto& section : channel) {
            for (float& value : section) {
                if (std::fabs(value) < DenormalThreshold) {
                    value = 0.0f;
                }
            }
        }
    }
}

} // namespace Tralvonic::Voice
