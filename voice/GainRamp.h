#pragma once
// The output gain of one effect. A new volume is reached linearly over the block instead of at
// once, because a step in gain is an audible click; an unchanged volume stays exact.

#include <cstdint>

namespace Tralvonic::Voice {

class GainRamp {
public:
    // Starts a block of `frames` frames ending at `target`. The first block starts at its target.
    void Start(float target, std::int32_t frames) noexcept {
        if (!_started || frames <= 0) {
            _current = target;
            _started = true;
        }
        _target = target;
        _step = frames > 0 ? (target - _current) / static_cast<float>(frames) : 0.0f;
    }

    // The gain for the next frame; the block's last frame gets the target exactly.
    float Next() noexcept {
        _current += _step;
        if ((_step > 0.0f && _current > _target) || (_step < 0.0f && _current < _target) || _step == 0.0f) {
            _current = _target;
        }
        return _current;
    }

    void Finish() noexcept { _current = _target; }

private:
    bool _started = false;
    float _current = 1.0f;
    float _target = 1.0f;
    float _step = 0.0f;
};

} // namespace Tralvonic::Voice
