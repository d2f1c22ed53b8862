#pragma once
// Sounds the game asked for, waiting for the instance's sound thread to start them: many
// producers (game threads), one consumer (the sound thread), emptied whole by a reset.

#include "Model/Sound.h"
#include "TeamSpeak/sdk/HostTypes.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

namespace Tralvonic {

// One requested playback. The game's record is complete before the sound is queued; the wave
// handle is set by the sound thread before the sound joins the instance's sound list, and
// only read after it was taken from that list.
struct PlayingSound {
    Model::Sound Sound;
    std::optional<TeamSpeak::uint64> WaveHandle;
};

class SoundQueue {
public:
    // The game may ask for sounds faster than they are started (one per 75 ms).
    static constexpr std::size_t Capacity = 64;

    // False, and the sound is not queued, when Capacity sounds already wait.
    bool TryPush(std::shared_ptr<PlayingSound> sound);
    // The oldest sound, or null when the queue is empty.
    std::shared_ptr<PlayingSound> TryPop();
    bool IsEmpty() const;
    // Drops every queued sound.
    void Clear();

private:
    mutable std::mutex _mutex;
    std::deque<std::shared_ptr<PlayingSound>> _sounds;
};

} // namespace Tralvonic
