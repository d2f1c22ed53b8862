#pragma once
// Biquad sections in series over four lanes (one channel each), in direct form I: every
// section's output feeds back through one multiply-add only, which keeps the loop short
// enough for the sections of one frame to overlap with those of the next. The sections share
// their history (the input history of one is the output history of the one before), and run
// on floats scaled to -1..1.

#include "Biquad.h"
#include "Lanes.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace Tralvonic::Voice {

// The filter memory of one group of four channels.
template <std::size_t Sections> struct CascadeMemory {
    std::array<Lanes, Sections + 1> Previous{};
    std::array<Lanes, Sections + 1> BeforePrevious{};
};

// One chunk's worth of a cascade in registers: coefficients broadcast to the lanes, memory
// copied in, and written back by Save.
template <std::size_t Sections> class CascadeRun {
public:
    [[gnu::always_inline]] CascadeRun(const BiquadChain<Sections>& chain,
                                      const CascadeMemory<Sections>& memory) noexcept
        : _previous(memory.Previous), _beforePrevious(memory.BeforePrevious) {
        for (std::size_t i = 0; i < Sections; ++i) {
            _k[i] = {Splat(chain[i].B0), Splat(chain[i].B1), Splat(chain[i].B2), Splat(chain[i].A1),
                     Splat(chain[i].A2)};
        }
    }

    [[gnu::always_inline]] Lanes Step(Lanes input) noexcept {
        Lanes value = input;
#pragma GCC unroll 8
        for (std::size_t i = 0; i < Sections; ++i) {
            const Coefficients& k = _k[i];
            // The section's own last output comes in last, so that only one multiply-add
            // lies between one frame's output and the next.
            Lanes output = k.B2 * _beforePrevious[i];
            output += k.B1 * _previous[i];
            output -= k.A2 * _beforePrevious[i + 1];
            output += k.B0 * value;
            output -= k.A1 * _previous[i + 1];
            _beforePrevious[i] = _previous[i];
            _previous[i] = value;
            value = output;
        }
        _beforePrevious[Sections] = _previous[Sections];
        _previous[Sections] = value;
        return value;
    }

    [[gnu::always_inline]] void Save(CascadeMemory<Sections>& memory) const noexcept {
        memory.Previous = _previous;
        memory.BeforePrevious = _beforePrevious;
    }

private:
    struct Coefficients {
        Lanes B0, B1, B2, A1, A2;
    };

    std::array<Coefficients, Sections> _k;
    std::array<Lanes, Sections + 1> _previous;
    std::array<Lanes, Sections + 1> _beforePrevious;
};

} // namespace Tralvonic::Voice
