#include "AudioThread.h"

#include "SimulatedClient.h"

#include "TeamSpeak/sdk/HostEnums.h"

#include <cstdio>
#include <exception>
#include <future>

namespace Tralvonic::Sim {

using namespace TeamSpeak;

namespace {

constexpr unsigned int StereoSpeakers[] = {SPEAKER_FRONT_LEFT, SPEAKER_FRONT_RIGHT};

// The speaker of each channel for the common layouts; others get consecutive bits.
std::vector<unsigned int> SpeakerArray(int channels) {
    std::vector<unsigned int> speakers;
    for (int i = 0; i < channels; ++i) {
        speakers.push_back(channels == 2 ? StereoSpeakers[i] : (channels == 1 ? SPEAKER_MONO : 1u << i));
    }
    return speakers;
}

} // namespace

AudioThread::AudioThread(SimulatedClient& client) : _client(client) {
    _thread = std::thread([this] { Run(); });
}

AudioThread::~AudioThread() {
    {
        std::lock_guard lock(_mutex);
        _stopping = true;
    }
    _changed.notify_all();
    _thread.join();
}

void AudioThread::RunOnAudioThread(const std::function<void()>& work) {
    if (IsAudioThread()) {
        work();
        return;
    }
    std::packaged_task<void()> task(work);
    auto done = task.get_future();
    {
        std::lock_guard lock(_mutex);
        if (_stopping) {
            return;
        }
        _tasks.emplace_back([&task] { task(); });
    }
    _changed.notify_all();
    done.get();
}

std::vector<short> AudioThread::Playback(uint64 handler, anyID client, std::vector<short> samples,
                                         int channels) {
    RunOnAudioThread([&] {
        _client.Deliver([&](const PluginExports& plugin) {
            if (plugin.onEditPlaybackVoiceDataEvent) {
                plugin.onEditPlaybackVoiceDataEvent(handler, client, samples.data(),
                                                    static_cast<int>(samples.size()) / channels, channels);
            }
        });
    });
    return samples;
}

AudioThread::PostProcessed AudioThread::PostProcess(uint64 handler, anyID client, std::vector<short> samples,
                                                    int channels, unsigned int fillMask) {
    const auto speakers = SpeakerArray(channels);
    RunOnAudioThread([&] {
        _client.Deliver([&](const PluginExports& plugin) {
            if (plugin.onEditPostProcessVoiceDataEvent) {
                plugin.onEditPostProcessVoiceDataEvent(handler, client, samples.data(),
                                                       static_cast<int>(samples.size()) / channels, channels,
                                                       speakers.data(), &fillMask);
            }
        });
    });
    return {std::move(samples), fillMask};
}

AudioThread::PostProcessed AudioThread::MixedPlayback(uint64 handler, std::vector<short> samples,
                                                      int channels, unsigned int fillMask) {
    const auto speakers = SpeakerArray(channels);
    RunOnAudioThread([&] {
        _client.Deliver([&](const PluginExports& plugin) {
            if (plugin.onEditMixedPlaybackVoiceDataEvent) {
                plugin.onEditMixedPlaybackVoiceDataEvent(handler, samples.data(),
                                                         static_cast<int>(samples.size()) / channels,
                                                         channels, speakers.data(), &fillMask);
            }
        });
    });
    return {std::move(samples), fillMask};
}

AudioThread::Captured AudioThread::Capture(uint64 handler, std::vector<short> samples, int edited,
                                           int channels) {
    RunOnAudioThread([&] {
        _client.Deliver([&](const PluginExports& plugin) {
            if (plugin.onEditCapturedVoiceDataEvent) {
                plugin.onEditCapturedVoiceDataEvent(
                    handler, samples.data(), static_cast<int>(samples.size()) / channels, channels, &edited);
            }
        });
    });
    return {std::move(samples), edited};
}

float AudioThread::Rolloff(uint64 handler, anyID client, float distance, float volume) {
    RunOnAudioThread([&] {
        _client.Deliver([&](const PluginExports& plugin) {
            if (plugin.onCustom3dRolloffCalculationClientEvent) {
                plugin.onCustom3dRolloffCalculationClientEvent(handler, client, distance, &volume);
            }
        });
    });
    return volume;
}

void AudioThread::Start() {
    {
        std::lock_guard lock(_mutex);
        _continuous = true;
    }
    _changed.notify_all();
}

void AudioThread::Stop() {
    // Waits for a round in progress: once this returns no callback runs until Start.
    RunOnAudioThread([this] {
        std::lock_guard lock(_mutex);
        _continuous = false;
    });
}

std::uint64_t AudioThread::Rounds() const {
    std::lock_guard lock(_mutex);
    return _rounds;
}

void AudioThread::Run() {
    auto nextRound = std::chrono::steady_clock::now();
    while (true) {
        std::function<void()> task;
        bool roundDue = false;
        {
            std::unique_lock lock(_mutex);
            while (!_stopping && _tasks.empty() && !roundDue) {
                if (!_continuous) {
                    _changed.wait(lock);
                    nextRound = std::chrono::steady_clock::now();
                } else if (_changed.wait_until(lock, nextRound) == std::cv_status::timeout) {
                    roundDue = true;
                }
            }
            if (_stopping) {
                return;
            }
            if (!_tasks.empty()) {
                task = std::move(_tasks.front());
                _tasks.pop_front();
                roundDue = false;
            }
        }
        try {
            if (task) {
                task();
            } else if (roundDue) {
                nextRound += BlockDuration;
                ProcessRound();
            }
        } catch (const std::exception& error) {
            std::fprintf(stderr, "simulated client: audio block failed: %s\n", error.what());
        }
    }
}

} // namespace Tralvonic::Sim
