#pragma once
// The user's own in-game state: the game's last SelfState, replaced whole on every update,
// plus what the instance keeps about the user himself. Read by game, host and audio threads.

#include "Model/MegaphoneCommunication.h"
#include "Model/SelfState.h"
#include "TeamSpeak/TSVector.h"
#include "core/AtomicSlot.h"
#include "instance/SampleQueue.h"

#include <atomic>
#include <optional>
#include <utility>

namespace Tralvonic {

class SelfStateWrapper {
public:
    Model::SelfState State() const { return _state.Load(); }
    void SetState(const Model::SelfState& state) { _state.Store(state); }

    TeamSpeak::TSVector Position() const { return State().Position; }
    float VoiceRange() const { return State().VoiceRange; }
    bool IsAlive() const { return State().IsAlive; }
    std::optional<Model::EchoEffect> Echo() const { return State().Echo; }
    // The heading in radians, negated: the angle that turns world offsets into the listener's frame.
    float Rotation() const;

    // Only the captured-voice callback changes it.
    bool IsTalking() const { return _isTalking.load(); }
    void SetIsTalking(bool isTalking) { _isTalking.store(isTalking); }

    // The echo, used by the captured-voice callback only: the delay line in the captured
    // layout, the monitor copy in stereo pairs, and the tail callbacks still to run.
    SampleQueue& EchoQueue() { return _echoQueue; }
    SampleQueue& EchoReplayQueue() { return _echoReplayQueue; }
    int EchoRuns() const { return _echoRuns.load(std::memory_order_relaxed); }
    void SetEchoRuns(int echoRuns) { _echoRuns.store(echoRuns, std::memory_order_relaxed); }
    // The user's own megaphone, absent while he uses none. Replaced whole by the megaphone
    // handlers; never stored in the instance's megaphone list.
    std::optional<Model::MegaphoneCommunication> MegaphoneCommunication() const { return _megaphone.Load(); }
    void SetMegaphoneCommunication(std::optional<Model::MegaphoneCommunication> megaphone) {
        _megaphoneRange.store(megaphone ? megaphone->Range : 0.0f);
        _megaphone.Store(std::move(megaphone));
    }
    // The own megaphone's range, 0 without one; read for every player on each recalculation.
    float MegaphoneRange() const { return _megaphoneRange.load(); }

private:
    AtomicSlot<Model::SelfState> _state;
    AtomicSlot<std::optional<Model::MegaphoneCommunication>> _megaphone;
    std::atomic<float> _megaphoneRange{0.0f};
    std::atomic<bool> _isTalking{false};
    SampleQueue _echoQueue;
    SampleQueue _echoReplayQueue;
    std::atomic<int> _echoRuns{0};
};

} // namespace Tralvonic
