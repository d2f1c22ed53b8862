#pragma once
// A chain of cookbook biquad sections (direct form I) for one pair of channels, split into two
// stages of equally many sections that run side by side in the four lanes of one vector:
// lanes 0 and 1 carry the pair through the first stage, lanes 2 and 3 carry what the first
// stage gave StageDelayFrames frames earlier through the second. A stereo voice then fills
// all four lanes instead of two, and a frame costs half the vector operations of the same
// chain run section after section; every lane still does the operations of the plain chain,
// only a few frames later, so the output is the same however a block is cut.
//
// The numerators of the low-pass and high-pass formulas are g (1, 2, 1) and g (1, -2, 1): the
// gains g of a stage are taken out and applied once at its end, and a section costs an
// addition and three multiply-adds. Floats scaled to -1..1 in and out, two a frame
// (the pair's channels), worked on in place.

#include "Biquad.h"
#include "Lanes.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace Tralvonic::Voice {

// How far the second stage runs behind the first. The first stage's output reaches the second
// through memory; this many frames leave time for the store and the load (and for a shaper
// between the stages) without holding up either stage's own recursion.
constexpr std::int32_t StageDelayFrames = 16;

template <std::size_t Sections> struct StaggeredBand {
    // Per section: lanes 0 and 1 the first stage's coefficients, lanes 2 and 3 the second's.
    std::array<Lanes, Sections> A1{};
    std::array<Lanes, Sections> A2{};
    // The numerator's middle coefficient without the gain: 2 for a low-pass, -2 for a high-pass.
    std::array<Lanes, Sections> Middle{};
    Lanes Gain = Splat(1.0f);

    // Takes low-pass or high-pass sections as the cookbook formulas give them, in order.
    static StaggeredBand From(const std::array<Biquad, Sections>& first,
                              const std::array<Biquad, Sections>& second) noexcept {
        StaggeredBand band;
        double firstGain = 1.0;
        double secondGain = 1.0;
        for (std::size_t i = 0; i < Sections; ++i) {
            const Biquad& a = first[i];
            const Biquad& b = second[i];
            band.A1[i] = Lanes{a.A1, a.A1, b.A1, b.A1};
            band.A2[i] = Lanes{a.A2, a.A2, b.A2, b.A2};
            const float aMiddle = a.B1 < 0.0f ? -2.0f : 2.0f;
            const float bMiddle = b.B1 < 0.0f ? -2.0f : 2.0f;
            band.Middle[i] = Lanes{aMiddle, aMiddle, bMiddle, bMiddle};
            firstGain *= a.B0;
            secondGain *= b.B0;
        }
        const auto f = static_cast<float>(firstGain);
        const auto s = static_cast<float>(secondGain);
        band.Gain = Lanes{f, f, s, s};
        return band;
    }
};

// The history of one pair: the inputs and outputs of each section, shared where one section's
// output is the next one's input. Lanes 2 and 3 of the first entry hold the first stage's
// output as the second stage has taken it in so far.
template <std::size_t Sections> struct StaggeredMemory {
    std::array<Lanes, Sections + 1> Previous{};
    std::array<Lanes, Sections + 1> BeforePrevious{};
};

// The history of the sections as the band runs, in named fields rather than arrays: the
// compiler keeps those in registers, where it would write arrays back to memory every frame.
// Node 0 is the band's input, node i + 1 the output of section i.
template <std::size_t Sections> struct StaggeredState {
    static_assert(Sections >= 1 && Sections <= 2, "one or two sections a stage");

    Lanes Previous0, Previous1, Previous2;
    Lanes BeforePrevious0, BeforePrevious1, BeforePrevious2;

    template <std::size_t Node> [[gnu::always_inline]] Lanes& Previous() noexcept {
        if constexpr (Node == 0) {
            return Previous0;
        } else if constexpr (Node == 1) {
            return Previous1;
        } else {
            return Previous2;
        }
    }
    template <std::size_t Node> [[gnu::always_inline]] Lanes& BeforePrevious() noexcept {
        if constexpr (Node == 0) {
            return BeforePrevious0;
        } else if constexpr (Node == 1) {
            return BeforePrevious1;
        } else {
            return BeforePrevious2;
        }
    }

    [[gnu::always_inline]] static StaggeredState From(const StaggeredMemory<Sections>& memory) noexcept {
        StaggeredState state{};
        const auto take = [&]<std::size_t... Node>(std::index_sequence<Node...>) {
            ((state.Previous<Node>() = std::get<Node>(memory.Previous),
              state.BeforePrevious<Node>() = std::get<Node>(memory.BeforePrevious)),
             ...);
        };
        take(std::make_index_sequence<Sections + 1>());
        return state;
    }

    // The first stage's lanes from `first`, the second stage's from `second`.
    [[gnu::always_inline]] static StaggeredState Join(StaggeredState first, StaggeredState second) noexcept {
        StaggeredState state{};
        const auto join = [&]<std::size_t... Node>(std::index_sequence<Node...>) {
            ((state.Previous<Node>() = Voice::Join(first.Previous<Node>(), second.Previous<Node>()),
              state.BeforePrevious<Node>() =
                  Voice::Join(first.BeforePrevious<Node>(), second.BeforePrevious<Node>())),
             ...);
        };
        join(std::make_index_sequence<Sections + 1>());
        return state;
    }

    [[gnu::always_inline]] void Save(StaggeredMemory<Sections>& memory) noexcept {
        const auto save = [&]<std::size_t... Node>(std::index_sequence<Node...>) {
            ((std::get<Node>(memory.Previous) = Previous<Node>(),
              std::get<Node>(memory.BeforePrevious) = BeforePrevious<Node>()),
             ...);
        };
        save(std::make_index_sequence<Sections + 1>());
    }
};

template <std::size_t Section, std::size_t Sections>
[[gnu::always_inline]] inline void StepSection(const StaggeredBand<Sections>& band,
                                               StaggeredState<Sections>& state, Lanes& value) noexcept {
    // The section's own past outputs come last, so that what carries over from frame to frame
    // is one multiply-add for each of them; everything else is ready early.
    constexpr std::size_t Out = Section + 1;
    const Lanes inputs = (std::get<Section>(band.Middle) * state.template Previous<Section>() +
                          state.template BeforePrevious<Section>()) +
                         value;
    const Lanes output = (inputs - std::get<Section>(band.A2) * state.template BeforePrevious<Out>()) -
                         std::get<Section>(band.A1) * state.template Previous<Out>();
    state.template BeforePrevious<Section>() = state.template Previous<Section>();
    state.template Previous<Section>() = value;
    value = output;
}

// One frame of the pair through every section: the history moves on a frame. The result
// carries the stages' gains.
template <std::size_t Sections>
[[gnu::always_inline]] inline Lanes StepStaggered(const StaggeredBand<Sections>& band,
                                                  StaggeredState<Sections>& state, Lanes input) noexcept {
    Lanes value = input;
    // Unrolled at compile time: with constant names the history stays in registers.
    const auto step = [&]<std::size_t... Section>(std::index_sequence<Section...>) {
        (StepSection<Section>(band, state, value), ...);
    };
    step(std::make_index_sequence<Sections>());
    state.template BeforePrevious<Sections>() = state.template Previous<Sections>();
    state.template Previous<Sections>() = value;
    return value * band.Gain;
}

// Two frames' worth of lanes 0 and 1: the first frame's, then the second's.
[[gnu::always_inline]] inline Lanes FirstStages(Lanes first, Lanes second) noexcept {
    return __builtin_shufflevector(first, second, 0, 1, 4, 5);
}

// `frames` frames of a pair through the band, in place. `between(two)` turns the first
// stage's output of two frames (lanes 0 and 1 for the first, 2 and 3 for the second) into the
// second stage's input.
template <std::size_t Sections, typename Between>
[[gnu::always_inline]] inline void
RunStaggered(float* pairs, std::int32_t frames, const StaggeredBand<Sections>& band,
             StaggeredMemory<Sections>& memory, Between&& between) noexcept {
    // The main loop reads a frame's first-stage output one frame after writing the one before.
    static_assert(StageDelayFrames >= 2);
    using State = StaggeredState<Sections>;
    const State start = State::From(memory);
    State state = start;
    const std::int32_t delay = std::min(StageDelayFrames, frames);
    const auto at = [pairs](std::int32_t frame) {
        return pairs + 2 * static_cast<std::ptrdiff_t>(frame);
    };
    const auto single = [&between](Lanes output) {
        return between(FirstStages(output, output));
    };
    // The second stage's output replaces the first stage's, which it has taken in.
    const auto finish = [&at](std::int32_t frame, Lanes output) {
        StoreHigh(at(frame), output);
    };
    // The first frames go through the first stage only; the second stage's lanes meanwhile
    // work on zeros and are put back afterwards.
    for (std::int32_t f = 0; f < delay; ++f) {
        StoreLow(at(f), single(StepStaggered(band, state, LoadLow(at(f)))));
    }
    state = State::Join(state, start);
    // The first stage's output of a frame replaces its input in place, and the second stage
    // takes it from there `delay` frames later. Two frames a turn, so that `between` works on
    // four useful lanes.
    std::int32_t f = delay;
    for (; f + 1 < frames; f += 2) {
        const Lanes first = StepStaggered(band, state, LoadHigh(LoadLow(at(f)), at(f - delay)));
        const Lanes second = StepStaggered(band, state, LoadHigh(LoadLow(at(f + 1)), at(f + 1 - delay)));
        const Lanes handedOn = between(FirstStages(first, second));
        std::memcpy(at(f), &handedOn, sizeof handedOn);
        finish(f - delay, first);
        finish(f + 1 - delay, second);
    }
    if (f < frames) {
        const Lanes last = StepStaggered(band, state, LoadHigh(LoadLow(at(f)), at(f - delay)));
        StoreLow(at(f), single(last));
        finish(f - delay, last);
    }
    // The second stage catches up on the last frames while the first stage's lanes idle.
    const State firstDone = state;
    for (f = frames; f < frames + delay; ++f) {
        finish(f - delay, StepStaggered(band, state, LoadHigh(Splat(0.0f), at(f - delay))));
    }
    State::Join(firstDone, state).Save(memory);
}

// The first stage's output handed on as it is.
struct Unchanged {
    [[gnu::always_inline]] Lanes operator()(Lanes value) const noexcept { return value; }
};

} // namespace Tralvonic::Voice
