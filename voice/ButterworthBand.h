#pragma once
// A fixed band of Butterworth sections over four lanes: high-pass sections, then low-pass
// sections, each a cookbook biquad in direct form I. Their numerators are g (1, -2, 1) and
// g (1, 2, 1), so the gains g are taken out and applied once at the end: a section then costs
// two additions and two multiply-adds, about half the work of a general biquad, and the
// additions run beside the multiplies. Floats scaled to -1..1 in and out.

#include "Biquad.h"
#include "Lanes.h"

#include <array>
#include <cstddef>

namespace Tralvonic::Voice {

template <std::size_t HighPasses, std::size_t LowPasses> struct ButterworthBand {
    static constexpr std::size_t Sections = HighPasses + LowPasses;

    struct Feedback {
        float A1 = 0.0f;
        float A2 = 0.0f;
    };

    std::array<Feedback, Sections> Poles{};
    float Gain = 1.0f;

    // Takes the sections as the cookbook formulas give them, high-passes first.
    static ButterworthBand From(const std::array<Biquad, Sections>& sections) noexcept {
        ButterworthBand band;
        double gain = 1.0;
        for (std::size_t i = 0; i < Sections; ++i) {
            band.Poles[i] = {sections[i].A1, sections[i].A2};
            gain *= sections[i].B0;
        }
        band.Gain = static_cast<float>(gain);
        return band;
    }
};

// The memory of one group of four channels: the input and output history of each section,
// shared where one section's output is the next one's input.
template <std::size_t Sections> struct BandMemory {
    std::array<Lanes, Sections + 1> Previous{};
    std::array<Lanes, Sections + 1> BeforePrevious{};
};

template <std::size_t HighPasses, std::size_t LowPasses> class ButterworthRun {
public:
    static constexpr std::size_t Sections = HighPasses + LowPasses;

    [[gnu::always_inline]] ButterworthRun(const ButterworthBand<HighPasses, LowPasses>& band,
                                          const BandMemory<Sections>& memory) noexcept
        : _gain(Splat(band.Gain)), _previous(memory.Previous), _beforePrevious(memory.BeforePrevious) {
        for (std::size_t i = 0; i < Sections; ++i) {
            _a1[i] = Splat(band.Poles[i].A1);
            _a2[i] = Splat(band.Poles[i].A2);
        }
    }

    [[gnu::always_inline]] Lanes Step(Lanes input) noexcept {
        Lanes value = input;
#pragma GCC unroll 8
        for (std::size_t i = 0; i < Sections; ++i) {
            // The older history first, then the new input, and the section's own last output
            // last: what carries over from frame to frame is then one multiply-add, and a
            // frame passes a section in an addition and a multiply-add, so that the sections
            // of several frames are under way at once.
            const Lanes doubled = _previous[i] + _previous[i];
            Lanes history = i < HighPasses ? _beforePrevious[i] - doubled : _beforePrevious[i] + doubled;
            history -= _a2[i] * _beforePrevious[i + 1];
            const Lanes output = (history + value) - _a1[i] * _previous[i + 1];
            _beforePrevious[i] = _previous[i];
            _previous[i] = value;
            value = output;
        }
        _beforePrevious[Sections] = _previous[Sections];
        _previous[Sections] = value;
        return value * _gain;
    }

    [[gnu::always_inline]] void Save(BandMemory<Sections>& memory) const noexcept {
        memory.Previous = _previous;
        memory.BeforePrevious = _beforePrevious;
    }

private:
    Lanes _gain;
    std::array<Lanes, Sections> _a1;
    std::array<Lanes, Sections> _a2;
    std::array<Lanes, Sections + 1> _previous;
    std::array<Lanes, Sections + 1> _beforePrevious;
};

} // namespace Tralvonic::Voice
