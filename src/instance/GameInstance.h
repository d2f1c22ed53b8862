#pragma once
// The state one game keeps on one TeamSpeak server, created from the game's Initiate record
// and keyed by the server's unique identifier. Game commands reach it on WebSocket I/O
// threads, host events on host threads, its own keepalive and sound threads run beside
// them; no single lock serialises these, so every shared field is guarded on its own.

#include "Model/GameInstanceSettings.h"
#include "Model/GameInstanceState.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Tralvonic {

class GameInstance {
public:
    explicit GameInstance(Model::GameInstanceSettings settings);
    GameInstance(const GameInstance&) = delete;
    GameInstance& operator=(const GameInstance&) = delete;

    // --- GameInstance.cpp: what the game sent with Initiate; fixed for the instance's life ---
    // The instance's key in the registry and in every message; absent when the game sent none.
    const std::optional<std::string>& ServerUniqueIdentifier() const {
        return _settings.ServerUniqueIdentifier;
    }
    std::uint64_t ChannelId() const { return _settings.ChannelId; }
    const std::string& ChannelPassword() const { return _settings.ChannelPassword; }
    const std::optional<std::string>& Name() const { return _settings.Name; }
    const std::string& SoundPack() const { return _settings.SoundPack; }
    const std::vector<std::uint64_t>& SwissChannelIds() const { return _settings.SwissChannelIds; }
    bool SendTalkStates() const { return _settings.SendTalkStates; }
    bool SendRadioTrafficStates() const { return _settings.SendRadioTrafficStates; }
    float UltraShortRangeDistance() const { return _settings.UltraShortRangeDistance; }
    float ShortRangeDistance() const { return _settings.ShortRangeDistance; }
    float LongRangeDistace() const { return _settings.LongRangeDistace; }

    // --- GameInstance.cpp: where the instance stands with the host; any thread ---
    // The host's server connection handler id while connected, 0 otherwise.
    std::uint64_t ServerConnectionHandle() const;
    void SetServerConnectionHandle(std::uint64_t serverConnectionHandle);
    Model::GameInstanceState InstanceState() const;
    void SetInstanceState(Model::GameInstanceState state);

private:
    // immutable after construction
    const Model::GameInstanceSettings _settings;

    // replaced whole from any thread; each read and write is indivisible
    std::atomic<std::uint64_t> _serverConnectionHandle{0};
    std::atomic<Model::GameInstanceState> _instanceState{Model::GameInstanceState::NotConnected};
};

} // namespace Tralvonic
