#pragma once
// Measures of what the simulated audio chain produced, for the voice tests: levels, the share
// of one tone in a channel, silence. Samples are interleaved 16-bit, 48 kHz.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <vector>

namespace Tralvonic::Test {

// Root mean square of one channel of interleaved samples.
inline double Level(const std::vector<short>& samples, int channels = 2, int channel = 0) {
    double sum = 0;
    std::size_t count = 0;
    for (std::size_t i = static_cast<std::size_t>(channel); i < samples.size();
         i += static_cast<std::size_t>(channels)) {
        sum += static_cast<double>(samples[i]) * samples[i];
        ++count;
    }
    return count == 0 ? 0 : std::sqrt(sum / static_cast<double>(count));
}

inline double Decibels(double level, double reference) {
    return 20 * std::log10(level / reference);
}

// The share of one channel's energy at `hz` (Goertzel), 1 for a pure tone of that pitch.
inline double ToneShare(const std::vector<short>& samples, double hz, int channels = 2) {
    const double coefficient = 2 * std::cos(2 * std::numbers::pi * hz / 48000);
    double previous = 0;
    double beforePrevious = 0;
    double energy = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < samples.size(); i += static_cast<std::size_t>(channels)) {
        const double current = samples[i] + coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = current;
        energy += static_cast<double>(samples[i]) * samples[i];
        ++count;
    }
    const double power =
        previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    return energy == 0 ? 0 : 2 * power / (static_cast<double>(count) * energy);
}

inline bool IsSilent(const std::vector<short>& samples) {
    return std::all_of(samples.begin(), samples.end(), [](short sample) { return sample == 0; });
}

} // namespace Tralvonic::Test
