#pragma once
// The state one game keeps on one TeamSpeak server, created from the game's Initiate record
// and keyed by the server's unique identifier. Game commands reach it on WebSocket I/O
// threads, host events on host threads, its own keepalive and sound threads run beside
// them; no single lock serialises these, so every shared field is guarded on its own:
// scalars and host ids are replaced whole (atomics and AtomicSlot), the player table, the
// sound list and each communication list (radio, phone, megaphone) have their own mutex,
// the radio towers and channel member lists are swapped whole, and no mutex is held across
// a host call.
//
// The operations are split by concern, one source file each (named in the sections below).

#include "Model/BulkUpdate.h"
#include "Model/Error.h"
#include "Model/GameInstanceSettings.h"
#include "Model/GameInstanceState.h"
#include "Model/MegaphoneCommunication.h"
#include "Model/PhoneCommunication.h"
#include "Model/PlayerState.h"
#include "Model/RadioChannelMember.h"
#include "Model/RadioChannelMemberUpdate.h"
#include "Model/RadioCommunication.h"
#include "Model/RadioTower.h"
#include "Model/SelfState.h"
#include "Model/Sound.h"
#include "TeamSpeak/Channel.h"
#include "TeamSpeak/Client.h"
#include "TeamSpeak/Server.h"
#include "TeamSpeak/TSVector.h"
#include "TeamSpeak/sdk/HostTypes.h"
#include "core/AtomicSlot.h"
#include "core/RealtimeSnapshot.h"
#include "instance/CommunicationList.h"
#include "instance/InstanceThread.h"
#include "instance/MicMode.h"
#include "instance/NameIndex.h"
#include "instance/PlayerState.h"
#include "instance/SampleQueue.h"
#include "instance/SelfStateWrapper.h"
#include "instance/SharedList.h"
#include "instance/SoundQueue.h"
#include "instance/StoredCommunications.h"
#include "instance/VoicePlan.h"
#include "instance/WhisperList.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace Tralvonic {

class TargetPlayers;

class GameInstance : public std::enable_shared_from_this<GameInstance> {
public:
    using RadioCommunicationList = CommunicationList<StoredRadioCommunication>;
    using PhoneCommunicationList = CommunicationList<StoredPhoneCommunication>;
    using MegaphoneCommunicationList = CommunicationList<StoredMegaphoneCommunication>;
    using PlayerIndex = NameIndex<std::shared_ptr<PlayerState>>;
    using MegaphoneIndex = NameIndex<StoredMegaphoneCommunication>;

    // Keepalive and sound pacing are measured on this clock, so a changed wall clock neither
    // times an instance out nor holds it alive.
    using Clock = std::chrono::steady_clock;

    explicit GameInstance(Model::GameInstanceSettings settings);
    GameInstance(const GameInstance&) = delete;
    GameInstance& operator=(const GameInstance&) = delete;
    // Joins the instance's threads if a reset has not already done so.
    ~GameInstance();

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
    std::uint64_t ServerConnectionHandle() const { return _serverConnectionHandle.load(); }
    Model::GameInstanceState InstanceState() const { return _instanceState.load(); }
    // The user's own client on the server; absent while not connected.
    std::optional<TeamSpeak::Client> Client() const { return _client.Load(); }
    // The in-game channel; absent while not connected.
    std::optional<TeamSpeak::Channel> Channel() const { return _channel.Load(); }
    std::optional<std::string> OriginalName() const { return _originalName.Load(); }
    std::optional<TeamSpeak::Channel> OriginalChannel() const { return _originalChannel.Load(); }
    bool IsMicrophoneMuted() const { return _isMicrophoneMuted.load(); }
    bool IsMicrophoneEnabled() const { return _isMicrophoneEnabled.load(); }
    bool IsSoundMuted() const { return _isSoundMuted.load(); }
    bool IsSoundEnabled() const { return _isSoundEnabled.load(); }
    // Set once by Reset; afterwards host events are ignored and the threads end.
    bool IsResetted() const { return _isResetted.load(); }
    SelfStateWrapper& OwnState() { return _ownState; }
    const SelfStateWrapper& OwnState() const { return _ownState; }

    // --- GameInstanceLifecycle.cpp ---
    // Registers the instance, takes the user over when the host is on the server, reports
    // the state and starts the threads. InvalidJson without a server unique identifier,
    // AlreadyInGame when the server already has an instance, InvalidValue when the most
    // instances that may run do; the checks and the registration are one step.
    Model::Error Initiate();
    void OnServerConnect(const TeamSpeak::Server& server);
    void OnServerDisconnect();
    // Ends the instance's effect on TeamSpeak, at most once. `ignoreThread` is true only on
    // the keepalive thread itself, which must not wait for itself.
    void Reset(bool removeInstance, bool ignoreThread);
    // Waits until the keepalive and sound threads have ended; part of the plugin stop, after
    // the reset, so that no thread of the instance outlives the plugin.
    void JoinThreads();

    // --- GameInstanceChannels.cpp ---
    void OnChannelMove(const TeamSpeak::Client& client, const TeamSpeak::Channel& oldChannel,
                       const TeamSpeak::Channel& newChannel);
    // A listed channel or any channel below one, at any depth.
    bool IsSwissChannel(const std::optional<TeamSpeak::Channel>& channel) const;

    // --- GameInstanceClientVariables.cpp ---
    void OnClientVariableUpdate(int clientProperty, const std::optional<std::string>& value);

    // --- GameInstanceReports.cpp: state reports and the keepalive ---
    void SendGameState() const;
    void SendSoundState() const;
    void OnPing() const;
    void OnPong();
    void OnTalkStatusChange(const TeamSpeak::Client& client, bool isTalking, bool isWhisper);
    // Broadcasts the user's talk changes that the captured-voice callback noted; on the
    // keepalive thread, and before a pong so the game hears them first.
    void SendPendingTalkStates() const;

    // --- GameInstancePlayers.cpp: the player table ---
    void OnPlayerStateUpdate(const Model::PlayerState& playerState);
    // Every player state of a bulk update in turn and then its own state, with one voice plan
    // for the audio path at the end instead of one per player (which made a bulk update
    // quadratic in its players) and one more for the own state's recalculation.
    void OnBulkUpdate(const Model::BulkUpdate& bulkUpdate);
    void OnPlayerRemove(const Model::PlayerState& playerState);
    bool TryGetPlayerState(std::string_view name, std::shared_ptr<PlayerState>& playerState) const;
    // A copy of the table's values taken under its mutex.
    std::vector<std::shared_ptr<PlayerState>> PlayerStates() const;
    std::size_t PlayerStateCount() const { return PlayerStates().size(); }

    // --- GameInstanceProximity.cpp: distances, positions and bindings ---
    void OnSelfStateUpdate(const Model::SelfState& selfState);
    // The full recalculation.
    void CalculateProximityChat();
    // The positioning step for one player.
    void CalculateProximityChat(const PlayerState& playerState);
    void CalculateProximityOffset(PlayerState& playerState) const;
    void PlayerStateClientUpdate();
    bool IsPlayerInRange(const PlayerState& playerState) const;
    bool IsPlayerInOwnVoiceRange(const PlayerState& playerState) const;
    // Host's rolloff callback: the host never attenuates by distance.
    void On3dRolloffCalculation(const TeamSpeak::Client& client, float distance, float* volume) const;

    // --- GameInstanceWhisper.cpp ---
    std::vector<TeamSpeak::anyID> WhisperTargets() const { return _whisperTargets.Load(); }
    // Stores the list and tells the host only when it changed as a set.
    void SetWhisperTargets(std::vector<TeamSpeak::anyID> whisperTargets);

    // --- GameInstanceRadio.cpp: transmissions; game threads ---
    void OnRadioCommunicationUpdate(Model::RadioCommunication radioCommunication);
    void OnStopRadioCommunication(const Model::RadioCommunication& radioCommunication);
    void OnRadioTowerUpdate(const Model::RadioTower& radioTower);
    bool TryGetRadioCommunication(std::string_view name, StoredRadioCommunication& radioCommunication) const;
    // The stored transmissions as last published, computed fields included; never null.
    RadioCommunicationList::Snapshot RadioCommunications() const { return _radioCommunications.Entries(); }
    SharedList<Model::Tower>::Snapshot RadioTowers() const { return _radioTowers.Load(); }
    // The mode an own transmission switched off, to be switched on at its end.
    Tralvonic::MicMode MicMode() const { return _micMode.load(); }
    // Decides reception of another player's stored transmission and stores the result.
    void CalculateRadioCommunication(const StoredRadioCommunication& radioCommunication);

    // --- GameInstanceRadioRange.cpp: reach and distortion of a radio ---
    // Whether the partner's transmission reaches `position` (the user's when absent), and
    // with which distortion; the distortion means nothing without success.
    bool TryCalculateRadio(const PlayerState& partner, const Model::RadioCommunication& radioCommunication,
                           float& distortion,
                           std::optional<TeamSpeak::TSVector> position = std::nullopt) const;
    float CalculateRadioDistortion(Model::RadioType radioType, float distance) const;
    bool TryGetClosestRadioTower(const TeamSpeak::TSVector& position, Model::RadioType radioType,
                                 bool ignoreDistributed, float& distortion) const;

    // --- GameInstanceRadioMembers.cpp: the two radio channels; game threads ---
    void OnAddRadioChannelMember(const Model::RadioChannelMember& radioChannelMember);
    void OnUpdateRadioChannelMembers(const Model::RadioChannelMemberUpdate& radioChannelMemberUpdate);
    void OnRemoveRadioChannelMember(const Model::RadioChannelMember& radioChannelMember);
    SharedList<std::string>::Snapshot PrimaryRadioChannelMembers() const {
        return _primaryRadioChannelMembers.Load();
    }
    SharedList<std::string>::Snapshot SecondaryRadioChannelMembers() const {
        return _secondaryRadioChannelMembers.Load();
    }

    // --- GameInstancePhone.cpp; game threads ---
    void OnPhoneCommunicationUpdate(Model::PhoneCommunication phoneCommunication);
    void OnStopPhoneCommunication(const Model::PhoneCommunication& phoneCommunication);
    bool TryGetPhoneCommunication(std::string_view name, StoredPhoneCommunication& phoneCommunication) const;
    PhoneCommunicationList::Snapshot PhoneCommunications() const { return _phoneCommunications.Entries(); }
    // Decides whether the call is heard and stores the result.
    void CalculatePhoneCommunication(const StoredPhoneCommunication& phoneCommunication);

    // --- GameInstanceMegaphone.cpp; game threads ---
    void OnMegaphoneCommunicationUpdate(const Model::MegaphoneCommunication& megaphoneCommunication);
    void OnStopMegaphoneCommunication(const Model::MegaphoneCommunication& megaphoneCommunication);
    bool TryGetMegaphoneCommunication(std::string_view name,
                                      StoredMegaphoneCommunication& megaphoneCommunication) const;
    // Other players' megaphones; the user's own is OwnState().MegaphoneCommunication().
    MegaphoneCommunicationList::Snapshot MegaphoneCommunications() const {
        return _megaphoneCommunications.Entries();
    }

    // --- GameInstanceSounds.cpp ---
    void PlaySound(Model::Sound sound);
    void StopSound(Model::Sound sound);

    // --- GameInstanceVoicePlan.cpp: what the audio path reads ---
    // Publishes the players, their bindings and communications to the voice callbacks; not
    // on an audio thread. Run after every change of any of them. Skipped on a thread that is
    // applying a bulk of player states, which publishes once when it is done.
    void PublishVoicePlan();

    // --- GameInstanceVoiceData.cpp, GameInstanceVoiceMix.cpp: the host's audio callbacks ---
    // Audio threads only: they never allocate after the first blocks, never wait and never
    // log below ExtensiveDebug.
    void OnEditCapturedVoiceDataEvent(short* samples, int sampleCount, int channels, int* edited);
    void OnEditPlaybackVoiceDataEvent(const TeamSpeak::Client& client, short* samples, int sampleCount,
                                      int channels);
    void OnEditPostProcessVoiceDataEvent(const TeamSpeak::Client& client, short* samples, int sampleCount,
                                         int channels, const unsigned int* channelSpeakerArray,
                                         unsigned int* channelFillMask);
    void OnEditMixedPlaybackVoiceDataEvent(short* samples, int sampleCount, int channels,
                                           const unsigned int* channelSpeakerArray,
                                           unsigned int* channelFillMask);

private:
    // GameInstancePlayers.cpp
    bool IsApplyingBulkOnThisThread() const;
    // GameInstanceProximity.cpp
    void CalculateProximityOffset(PlayerState& playerState, const MegaphoneIndex& megaphones) const;
    void CalculateProximityChat(const PlayerState& playerState, const MegaphoneIndex& megaphones);
    // Binds `players`; returns the ids of the clients in the instance channel, sorted.
    std::vector<TeamSpeak::anyID>
    PlayerStateClientUpdate(const std::vector<std::shared_ptr<PlayerState>>& players);
    // GameInstancePhone.cpp: recalculation step for the calls; direct partners join the targets
    void CalculatePhoneCommunications(const PhoneCommunicationList::Snapshot& phoneCommunications,
                                      const PlayerIndex& players, TargetPlayers& targets);
    // Null when the call's result stays as it was (partner unknown, unbound or dead).
    std::optional<PhoneReception> CalculatePhoneCommunication(const StoredPhoneCommunication& phone,
                                                              const PlayerIndex& players);
    void RemovePhoneCommunication(std::string_view name);
    // GameInstanceRadio.cpp: recalculation step for the transmissions; when the user
    // transmits, his channel's members join the targets
    void CalculateRadioCommunications(const RadioCommunicationList::Snapshot& radioCommunications,
                                      const PlayerIndex& players, TargetPlayers& targets);
    std::optional<RadioReception> CalculateRadioCommunication(const StoredRadioCommunication& radio,
                                                              const PlayerIndex& players);
    void SendRadioTrafficState(const std::string& name, bool isSending, bool isPrimaryChannel,
                               std::optional<std::string> activeRelay = std::nullopt) const;
    // GameInstanceRadioMic.cpp: the user's own transmission
    void OnOwnRadioStart(const Model::RadioCommunication& radioCommunication);
    void OnOwnRadioStop(const Model::RadioCommunication& radioCommunication);
    // Switches back on what an own transmission switched off; also part of Reset.
    void RestoreMicMode(const TeamSpeak::Client& client);
    bool MicClicksApply(bool playMicClick) const;
    void PlayMicClick(const std::string& filename);
    bool IsOwnName(std::string_view name) const;
    // GameInstanceRadioMembers.cpp
    void AddPlaceholderPlayers(const std::vector<std::string>& names);
    // GameInstanceMegaphone.cpp
    void RemoveMegaphoneCommunication(std::string_view name);
    // GameInstanceReports.cpp
    void PingSocket();
    // GameInstanceVoiceData.cpp, GameInstanceVoiceMix.cpp
    bool AddPlaybackEffects(const VoicePlayer& player, const short* samples, int sampleCount, int channels);
    // True when the player's megaphone reached the user and was queued.
    bool AddMegaphone(const VoicePlayer& player, std::span<std::int16_t> downmix, int sampleCount,
                      int outChannels);
    bool RunEcho(const VoicePlan& plan, std::span<std::int16_t> work, int channels, int flags);
    void MonitorOwnMegaphone(const VoicePlan& plan, std::span<std::int16_t> work, int sampleCount,
                             int channels, int flags);
    void NoteTalkChange(bool isTalking);
    // GameInstanceSounds.cpp
    void HandleSoundQueue();
    void PlaySoundInternal(const std::shared_ptr<PlayingSound>& sound);
    void StopSounds();
    // GameInstanceLifecycle.cpp
    void StartThreads();
    void CleanUpTeamSpeak(const TeamSpeak::Client& client, const TeamSpeak::Channel& channel);
    // GameInstanceClientVariables.cpp
    void ReadSoundFlags(const TeamSpeak::Client& client);
    // GameInstanceChannels.cpp
    void OnOwnChannelMove(const TeamSpeak::Client& client, const TeamSpeak::Channel& newChannel);
    void OnOtherClientMove(const TeamSpeak::Client& client, const TeamSpeak::Channel& oldChannel,
                           const TeamSpeak::Channel& newChannel, const TeamSpeak::Channel& instanceChannel);
    // Sets the nickname on the host only when it differs; true when it was set.
    bool EnforceName(const TeamSpeak::Client& client) const;

    // immutable after construction
    const Model::GameInstanceSettings _settings;
    const Clock::time_point _created;

    // replaced whole from any thread; each read and write is indivisible
    std::atomic<std::uint64_t> _serverConnectionHandle{0};
    std::atomic<Model::GameInstanceState> _instanceState{Model::GameInstanceState::NotConnected};
    AtomicSlot<std::optional<TeamSpeak::Client>> _client;
    AtomicSlot<std::optional<TeamSpeak::Channel>> _channel;
    AtomicSlot<std::optional<std::string>> _originalName;
    AtomicSlot<std::optional<TeamSpeak::Channel>> _originalChannel;
    std::atomic<bool> _isMicrophoneMuted{false};
    std::atomic<bool> _isMicrophoneEnabled{false};
    std::atomic<bool> _isSoundMuted{false};
    std::atomic<bool> _isSoundEnabled{false};
    std::atomic<bool> _isResetted{false};
    SelfStateWrapper _ownState;

    // keepalive: ticks of Clock
    std::atomic<Clock::rep> _nextPingTime;
    std::atomic<Clock::rep> _resetDeadline;

    // the player table, guarded by its own mutex
    mutable std::mutex _playerStatesMutex;
    std::map<std::string, std::shared_ptr<PlayerState>, std::less<>> _playerStates;
    WhisperList _whisperTargets;

    // sounds: the list of started sounds under its own mutex, the queue, the pacing time
    mutable std::mutex _soundsMutex;
    std::vector<std::shared_ptr<PlayingSound>> _sounds;
    SoundQueue _soundQueue;
    std::atomic<Clock::rep> _lastStartTime;

    // what the voice callbacks read, published wait-free; built one at a time
    std::mutex _voicePlanMutex;
    RealtimeSnapshot<VoicePlan> _voicePlan;
    // the own megaphone monitor, stereo pairs
    SampleQueue _outputQueue;
    // the user's talk changes: count << 1 | current flag, written by the captured callback,
    // sent by SendPendingTalkStates
    std::atomic<std::uint64_t> _talkChanges{0};
    // held while pending talk states are queued, so that they keep their order with a pong
    mutable std::mutex _talkSendMutex;
    mutable std::uint64_t _talkChangesSent = 0; // guarded by _talkSendMutex
    // communications: each list under its own mutex, published whole after every change
    RadioCommunicationList _radioCommunications;
    PhoneCommunicationList _phoneCommunications;
    MegaphoneCommunicationList _megaphoneCommunications;
    // replaced whole, never edited in place
    SharedList<Model::Tower> _radioTowers;
    SharedList<std::string> _primaryRadioChannelMembers;
    SharedList<std::string> _secondaryRadioChannelMembers;
    std::atomic<Tralvonic::MicMode> _micMode{Tralvonic::MicMode::ContinuousTransmission};

    // started by Initiate; joined by Reset (or by the destructor after a keepalive time-out)
    InstanceThread _keepaliveThread;
    InstanceThread _soundQueueThread;
};

} // namespace Tralvonic
