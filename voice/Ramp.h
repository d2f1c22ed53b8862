#pragma once
// A parameter on its way from one value to the next. A step in gain, drive or cut-off is an
// audible click, so a new target is reached linearly over a fixed number of frames. The ramp
// counts frames, not blocks: a block processed at once or split in two gets the same values.
// The first target is taken at once, since there is nothing yet to click against.

#include <algorithm>
#include <cstdint>
#include <limits>

namespace Tralvonic::Voice {

class Ramp {
public:
    explicit constexpr Ramp(std::int32_t lengthFrames, float initial = 0.0f) noexcept
        : _length(lengthFrames), _position(lengthFrames), _start(initial), _target(initial) {}

    void SetTarget(float target) noexcept {
        if (!_started) {
            _started = true;
            _start = _target = target;
            _position = _length;
            return;
        }
        if (target == _target) {
            return;
        }
        _start = Current();
        _target = target;
        _position = 0;
    }

    // Stands at `value` at once, as if a ramp to it had just ended.
    void Jump(float value) noexcept {
        _started = true;
        _start = _target = value;
        _position = _length;
    }

    bool IsRamping() const noexcept { return _position < _length; }

    // The value after the frames counted so far.
    float Current() const noexcept { return At(_position); }

    // The value at `position` frames into the ramp, exact at its end.
    float At(std::int32_t position) const noexcept {
        if (position >= _length) {
            return _target;
        }
        return _start + (_target - _start) * (static_cast<float>(position) / static_cast<float>(_length));
    }

    std::int32_t Position() const noexcept { return _position; }
    float Start() const noexcept { return _start; }
    float Target() const noexcept { return _target; }
    std::int32_t Length() const noexcept { return _length; }

    void Advance(std::int32_t frames) noexcept { _position = std::min(_length, _position + frames); }

private:
    std::int32_t _length;
    std::int32_t _position;
    float _start;
    float _target;
    bool _started = false;
};

// A ramp that moves in steps of StepFrames, for parameters that are costly to recompute per
// frame (a filter's coefficients, a shaper's drive): they stay constant within a step.
class SteppedRamp {
public:
    static constexpr std::int32_t StepFrames = 32;

    explicit constexpr SteppedRamp(std::int32_t steps, float initial = 0.0f) noexcept
        : _ramp(steps * StepFrames, initial) {}

    void SetTarget(float target) noexcept { _ramp.SetTarget(target); }
    void Jump(float value) noexcept { _ramp.Jump(value); }
    bool IsRamping() const noexcept { return _ramp.IsRamping(); }

    // The value for the current step: a step already holds the value it leads to, so the
    // last step holds the target.
    float Value() const noexcept {
        if (!_ramp.IsRamping()) {
            return _ramp.Target();
        }
        return _ramp.At((_ramp.Position() / StepFrames + 1) * StepFrames);
    }

    // Frames until the value changes next; unbounded once the target is reached.
    std::int32_t FramesLeftInStep() const noexcept {
        if (!_ramp.IsRamping()) {
            return std::numeric_limits<std::int32_t>::max();
        }
        return StepFrames - _ramp.Position() % StepFrames;
    }

    void Advance(std::int32_t frames) noexcept { _ramp.Advance(frames); }

private:
    Ramp _ramp;
};

} // namespace Tralvonic::Voice
