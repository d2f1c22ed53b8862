#pragma once
// Biquad sections in series over four lanes (one channel each), in direct form I: every
// section's output feeds back through one multiply-add only, which keeps the loop short
// enough for the sections of one frame to overlap with those of the next. The sections share
// their history (the input history of one is the output history of the one before), and run
// on floats scaled to -1..1. A new chain of coefficients is reached in steps over a ramp
// instead of at once, so that a changed cut-off does not click.

#include "Biquad.h"
#include "Lanes.h"
#include "Ramp.h"

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

// The coefficients of a cascade and their ramp. The first chain is taken at once.
template <std::size_t Sections> class CascadeCoefficients {
public:
    static constexpr std::int32_t RampSteps = 30;

    void SetTarget(const BiquadChain<Sections>& chain) noexcept {
        if (!_started) {
            _started = true;
            _from = _to = chain;
            return;
        }
        if (chain == _to) {
            return;
        }
        _from = Current();
        _to = chain;
        _position.Restart(0.0f, 1.0f);
    }

    BiquadChain<Sections> Current() const noexcept {
        if (!_position.IsRamping()) {
            return _to;
        }
        return Between(_from, _to, _position.Value());
    }

    bool IsRamping() const noexcept { return _position.IsRamping(); }
    const BiquadChain<Sections>& Target() const noexcept { return _to; }
    std::int32_t FramesLeftInStep() const noexcept { return _position.FramesLeftInStep(); }
    void Advance(std::int32_t frames) noexcept { _position.Advance(frames); }

private:
    bool _started = false;
    BiquadChain<Sections> _from{};
    BiquadChain<Sections> _to{};
    SteppedRamp _position{RampSteps, 1.0f};
};

} // namespace Tralvonic::Voice
