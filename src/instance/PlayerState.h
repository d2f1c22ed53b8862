#pragma once
// One other player as the instance tracks him: what the game last reported (replaced whole on
// every update) and what the instance derives from it (bound client, distance, 3D offset).
// Host threads, game threads and audio threads read the same object, so every part is an
// indivisible value; none of them has heap parts, so copying never allocates.

#include "Model/PlayerState.h"
#include "TeamSpeak/Client.h"
#include "TeamSpeak/TSVector.h"
#include "core/AtomicSlot.h"
#include "instance/SampleQueue.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace Tralvonic {

// The game's record of a player without the name, which never changes for one player.
struct PlayerVoice {
    std::optional<TeamSpeak::TSVector> Position;
    float VoiceRange = 0.0f;
    bool IsAlive = true;
    std::optional<float> VolumeOverride;
    bool DistanceCulled = false;
    std::optional<Model::MuffleEffect> Muffle;

    static PlayerVoice From(const Model::PlayerState& record);
    bool operator==(const PlayerVoice&) const = default;
};

class PlayerState {
public:
    explicit PlayerState(const Model::PlayerState& record);
    PlayerState(const PlayerState&) = delete;
    PlayerState& operator=(const PlayerState&) = delete;

    // The key of the player table; the nickname of the client that speaks for him.
    const std::string& Name() const { return _name; }

    PlayerVoice Voice() const { return _voice.Load(); }
    void SetVoice(const PlayerVoice& voice) { _voice.Store(voice); }

    // The TeamSpeak client bound by nickname; absent when unbound.
    std::optional<TeamSpeak::Client> Client() const { return _client.Load(); }
    void SetClient(std::optional<TeamSpeak::Client> client) { _client.Store(client); }

    float Distance() const { return _distance.load(); }
    void SetDistance(float distance) { _distance.store(distance); }

    // The position given to the client in 3D mode: the player relative to the user's heading,
    // his voice range scaled to 10 units.
    TeamSpeak::TSVector PositionOffset() const { return _positionOffset.Load(); }
    void SetPositionOffset(const TeamSpeak::TSVector& offset) { _positionOffset.Store(offset); }

    bool IsOnPhone() const { return _isOnPhone.load(); }
    void SetIsOnPhone(bool isOnPhone) { _isOnPhone.store(isOnPhone); }
    bool IsOnRadio() const { return _isOnRadio.load(); }
    void SetIsOnRadio(bool isOnRadio) { _isOnRadio.store(isOnRadio); }
    // Sets the flag and tells what it was, as one step: a radio traffic report goes out only
    // for a change, also when two recalculations race.
    bool ExchangeIsOnRadio(bool isOnRadio) { return _isOnRadio.exchange(isOnRadio); }

    // Audio of this player on its way to the final mix or the microphone; storage is
    // installed when the player first takes part in a call, a radio or a megaphone.
    // Stereo pairs of phone and radio audio.
    SampleQueue& EffectQueue() { return _effectQueue; }
    // Audio the user relays into his microphone, in blocks of RelayChannels channels.
    SampleQueue& RelayQueue() { return _relayQueue; }
    int RelayChannels() const { return _relayChannels.load(std::memory_order_relaxed); }
    void SetRelayChannels(int channels) { _relayChannels.store(channels, std::memory_order_relaxed); }
    // Megaphone audio in the post-process downmix layout.
    SampleQueue& MegaphoneQueue() { return _megaphoneQueue; }

private:
    const std::string _name;
    AtomicSlot<PlayerVoice> _voice;
    AtomicSlot<std::optional<TeamSpeak::Client>> _client;
    std::atomic<float> _distance{0.0f};
    AtomicSlot<TeamSpeak::TSVector> _positionOffset;
    std::atomic<bool> _isOnPhone{false};
    std::atomic<bool> _isOnRadio{false};
    SampleQueue _effectQueue;
    SampleQueue _relayQueue;
    std::atomic<int> _relayChannels{0};
    SampleQueue _megaphoneQueue;
};

// The key by which lookups find a player in a snapshot of the table.
inline const std::string& NameOf(const std::shared_ptr<PlayerState>& player) {
    return player->Name();
}

} // namespace Tralvonic
