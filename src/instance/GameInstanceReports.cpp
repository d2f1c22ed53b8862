#include "instance/GameInstance.h"

#include "Model/InstanceState.h"
#include "Model/PluginCommand.h"
#include "Model/SoundState.h"
#include "Model/TalkingState.h"
#include "core/Base.h"
#include "core/Logger.h"
#include "link/Messages.h"

#include <algorithm>
#include <thread>

namespace Tralvonic {

namespace {

GameInstance::Clock::rep Ticks(GameInstance::Clock::time_point time) {
    return time.time_since_epoch().count();
}

GameInstance::Clock::duration InstanceTimeout() {
    return std::chrono::seconds(Base::CurrentConfiguration()->InstanceTimeout);
}

} // namespace

void GameInstance::SendGameState() const {
    BroadcastRecord(Model::PluginCommand(Model::Command::InstanceState, ServerUniqueIdentifier(),
                                         Model::InstanceState(InstanceState())));
}

void GameInstance::SendSoundState() const {
    const Model::SoundState soundState{IsMicrophoneMuted(), IsMicrophoneEnabled(), IsSoundMuted(),
                                       IsSoundEnabled()};
    BroadcastRecord(Model::PluginCommand(Model::Command::SoundState, ServerUniqueIdentifier(), soundState));
}

void GameInstance::OnPing() const {
    // The game hears the user's talk changes before the answer to a ping sent after them.
    SendPendingTalkStates();
    BroadcastRecord(Model::PluginCommand(Model::Command::Pong, ServerUniqueIdentifier()));
}

void GameInstance::OnPong() {
    // The timeout of this moment: a changed setting counts from the next pong on.
    _resetDeadline.store(Ticks(Clock::now() + InstanceTimeout()));
}

void GameInstance::PingSocket() {
    constexpr auto PingInterval = std::chrono::seconds(1);
    constexpr auto Pass = std::chrono::milliseconds(10);
    while (!IsResetted()) {
        SendPendingTalkStates();
        const auto now = Ticks(Clock::now());
        if (now > _nextPingTime.load()) {
            BroadcastRecord(Model::PluginCommand(Model::Command::Ping, ServerUniqueIdentifier()));
            _nextPingTime.store(now + Clock::duration(PingInterval).count());
        }
        if (now > _resetDeadline.load()) {
            Logger::LogInfo("No pong command in the last " +
                                std::to_string(Base::CurrentConfiguration()->InstanceTimeout) + " seconds...",
                            LogChannel::GameInstance);
            Reset(true, true);
            return;
        }
        std::this_thread::sleep_for(Pass);
    }
}

void GameInstance::SendPendingTalkStates() const {
    // Held while the messages are queued: a pong that follows this call on another thread must
    // not overtake talk states that the keepalive thread has taken but not yet queued. Queuing
    // only hands the text to the connections' strands; nothing here waits on a socket.
    std::lock_guard lock(_talkSendMutex);
    const std::uint64_t word = _talkChanges.load(std::memory_order_acquire);
    const std::uint64_t changes = (word >> 1) - _talkChangesSent;
    _talkChangesSent = word >> 1;
    const bool isTalking = (word & 1u) != 0;
    if (changes == 0 || !SendTalkStates()) {
        return;
    }
    // Each change flips the flag, so the last one or two tell the whole story: an odd count
    // is one change in effect, an even count went away and came back.
    const auto send = [this](bool talking) {
        BroadcastRecord(Model::PluginCommand(Model::Command::TalkState, ServerUniqueIdentifier(),
                                             Model::TalkingState{Name().value_or(""), talking}));
    };
    if (changes % 2 == 0) {
        send(!isTalking);
    }
    send(isTalking);
}

void GameInstance::OnTalkStatusChange(const TeamSpeak::Client& client, bool isTalking, bool /*isWhisper*/) {
    const auto players = PlayerStates();
    const auto found = std::find_if(players.begin(), players.end(), [&](const auto& playerState) {
        const auto bound = playerState->Client();
        return bound && bound->Id() == client.Id();
    });
    if (found == players.end()) {
        return;
    }
    const PlayerState& playerState = **found;
    const auto ownClient = Client();
    if (isTalking && !(ownClient && client == *ownClient)) {
        // Without a range test: a voice that starts anywhere is placed where it belongs.
        client.Set3DPosition(Base::CurrentConfiguration()->Is3dEnabled ? playerState.PositionOffset()
                                                                       : OwnState().Position());
    }
    if (SendTalkStates()) {
        BroadcastRecord(Model::PluginCommand(Model::Command::TalkState, ServerUniqueIdentifier(),
                                             Model::TalkingState{playerState.Name(), isTalking}));
    }
}

} // namespace Tralvonic
