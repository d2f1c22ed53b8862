#include "instance/GameInstance.h"

#include "Model/PluginCommand.h"
#include "Model/TalkingState.h"
#include "link/Messages.h"

namespace Tralvonic {

namespace {

// The captured-voice flags the host passes: 2 marks voice that is about to be sent.
constexpr int CapturedVoiceWillBeSent = 2;

} // namespace

void GameInstance::OnEditCapturedVoiceDataEvent(short* /*samples*/, int /*sampleCount*/, int /*channels*/,
                                                int* edited) {
    if (edited == nullptr || InstanceState() != Model::GameInstanceState::Ingame) {
        return;
    }
    // Only a change is reported; the rare message is the one allocation this path makes.
    const int flags = *edited;
    bool isTalking = false;
    if (flags == CapturedVoiceWillBeSent && !OwnState().IsTalking()) {
        isTalking = true;
    } else if (flags == 0 && OwnState().IsTalking()) {
        isTalking = false;
    } else {
        return;
    }
    OwnState().SetIsTalking(isTalking);
    if (SendTalkStates()) {
        BroadcastRecord(Model::PluginCommand(Model::Command::TalkState, ServerUniqueIdentifier(),
                                             Model::TalkingState{Name().value_or(""), isTalking}));
    }
}

// The voice of other players passes unchanged until the instance edits samples; the host's
// buffers are left exactly as it handed them over.
void GameInstance::OnEditPlaybackVoiceDataEvent(const TeamSpeak::Client&, short*, int, int) {}

void GameInstance::OnEditPostProcessVoiceDataEvent(const TeamSpeak::Client&, short*, int, int,
                                                   const unsigned int*, unsigned int*) {}

void GameInstance::OnEditMixedPlaybackVoiceDataEvent(short*, int, int, const unsigned int*, unsigned int*) {}

} // namespace Tralvonic
