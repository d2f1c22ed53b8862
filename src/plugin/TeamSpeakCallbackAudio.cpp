#include "plugin/TeamSpeakCallback.h"

#include "TeamSpeak/Client.h"
#include "TeamSpeak/Server.h"
#include "core/Base.h"
#include "instance/GameInstance.h"

#include <memory>

// Every callback here runs once per audio block: the lookup by handler is a scan of the
// small registry without a host call, and nothing here allocates.

namespace Tralvonic {

void TeamSpeakCallback::OnCustom3dRolloffCalculationClientEvent(uint64 serverConnectionHandlerId,
                                                                anyID clientId, float distance,
                                                                float* volume) {
    std::shared_ptr<GameInstance> gameInstance;
    if (Base::TryGetGameInstance(serverConnectionHandlerId, gameInstance)) {
        gameInstance->On3dRolloffCalculation(
            TeamSpeak::Client(TeamSpeak::Server(serverConnectionHandlerId), clientId), distance, volume);
    }
}

void TeamSpeakCallback::OnEditPlaybackVoiceDataEvent(uint64 serverConnectionHandlerId, anyID clientId,
                                                     short* samples, int sampleCount, int channels) {
    std::shared_ptr<GameInstance> gameInstance;
    if (Base::TryGetGameInstance(serverConnectionHandlerId, gameInstance)) {
        gameInstance->OnEditPlaybackVoiceDataEvent(
            TeamSpeak::Client(TeamSpeak::Server(serverConnectionHandlerId), clientId), samples, sampleCount,
            channels);
    }
}

void TeamSpeakCallback::OnEditPostProcessVoiceDataEvent(uint64 serverConnectionHandlerId, anyID clientId,
                                                        short* samples, int sampleCount, int channels,
                                                        const unsigned int* channelSpeakerArray,
                                                        unsigned int* channelFillMask) {
    std::shared_ptr<GameInstance> gameInstance;
    if (Base::TryGetGameInstance(serverConnectionHandlerId, gameInstance)) {
        gameInstance->OnEditPostProcessVoiceDataEvent(
            TeamSpeak::Client(TeamSpeak::Server(serverConnectionHandlerId), clientId), samples, sampleCount,
            channels, channelSpeakerArray, channelFillMask);
    }
}

void TeamSpeakCallback::OnEditMixedPlaybackVoiceDataEvent(uint64 serverConnectionHandlerId, short* samples,
                                                          int sampleCount, int channels,
                                                          const unsigned int* channelSpeakerArray,
                                                          unsigned int* channelFillMask) {
    std::shared_ptr<GameInstance> gameInstance;
    if (Base::TryGetGameInstance(serverConnectionHandlerId, gameInstance)) {
        gameInstance->OnEditMixedPlaybackVoiceDataEvent(samples, sampleCount, channels, channelSpeakerArray,
                                                        channelFillMask);
    }
}

void TeamSpeakCallback::OnEditCapturedVoiceDataEvent(uint64 serverConnectionHandlerId, short* samples,
                                                     int sampleCount, int channels, int* edited) {
    std::shared_ptr<GameInstance> gameInstance;
    if (Base::TryGetGameInstance(serverConnectionHandlerId, gameInstance)) {
        gameInstance->OnEditCapturedVoiceDataEvent(samples, sampleCount, channels, edited);
    }
}

} // namespace Tralvonic
