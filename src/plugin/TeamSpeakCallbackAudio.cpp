#include "plugin/TeamSpeakCallback.h"

#include "TeamSpeak/Client.h"
#include "TeamSpeak/Server.h"
#include "core/AudioRegistry.h"
#include "instance/GameInstance.h"

// Every callback here runs on a host audio thread once per block: the instance is found in
// the registry's published copy without a lock or a host call, and the borrowed copy keeps
// it alive until the callback returns.

namespace Tralvonic {

void TeamSpeakCallback::OnCustom3dRolloffCalculationClientEvent(uint64 serverConnectionHandlerId,
                                                                anyID clientId, float distance,
                                                                float* volume) {
    const auto instances = AudioRegistry::Read();
    if (auto* gameInstance = AudioRegistry::Find(instances, serverConnectionHandlerId)) {
        gameInstance->On3dRolloffCalculation(
            TeamSpeak::Client(TeamSpeak::Server(serverConnectionHandlerId), clientId), distance, volume);
    }
}

void TeamSpeakCallback::OnEditPlaybackVoiceDataEvent(uint64 serverConnectionHandlerId, anyID clientId,
                                                     short* samples, int sampleCount, int channels) {
    const auto instances = AudioRegistry::Read();
    if (auto* gameInstance = AudioRegistry::Find(instances, serverConnectionHandlerId)) {
        gameInstance->OnEditPlaybackVoiceDataEvent(
            TeamSpeak::Client(TeamSpeak::Server(serverConnectionHandlerId), clientId), samples, sampleCount,
            channels);
    }
}

void TeamSpeakCallback::OnEditPostProcessVoiceDataEvent(uint64 serverConnectionHandlerId, anyID clientId,
                                                        short* samples, int sampleCount, int channels,
                                                        const unsigned int* channelSpeakerArray,
                                                        unsigned int* channelFillMask) {
    const auto instances = AudioRegistry::Read();
    if (auto* gameInstance = AudioRegistry::Find(instances, serverConnectionHandlerId)) {
        gameInstance->OnEditPostProcessVoiceDataEvent(
            TeamSpeak::Client(TeamSpeak::Server(serverConnectionHandlerId), clientId), samples, sampleCount,
            channels, channelSpeakerArray, channelFillMask);
    }
}

void TeamSpeakCallback::OnEditMixedPlaybackVoiceDataEvent(uint64 serverConnectionHandlerId, short* samples,
                                                          int sampleCount, int channels,
                                                          const unsigned int* channelSpeakerArray,
                                                          unsigned int* channelFillMask) {
    const auto instances = AudioRegistry::Read();
    if (auto* gameInstance = AudioRegistry::Find(instances, serverConnectionHandlerId)) {
        gameInstance->OnEditMixedPlaybackVoiceDataEvent(samples, sampleCount, channels, channelSpeakerArray,
                                                        channelFillMask);
    }
}

void TeamSpeakCallback::OnEditCapturedVoiceDataEvent(uint64 serverConnectionHandlerId, short* samples,
                                                     int sampleCount, int channels, int* edited) {
    const auto instances = AudioRegistry::Read();
    if (auto* gameInstance = AudioRegistry::Find(instances, serverConnectionHandlerId)) {
        gameInstance->OnEditCapturedVoiceDataEvent(samples, sampleCount, channels, edited);
    }
}

} // namespace Tralvonic
