#pragma once
// The simulated client's audio processing: the four voice-data callbacks and the custom 3D
// rolloff reach the plugin on this thread only, in blocks of 20 ms (960 frames at 48 kHz).
// A test hands one block through and gets it back as the plugin left it, or renders a whole
// round of the host's chain; tralvonic-host runs it continuously, one round every 20 ms for
// every connected tab.

#include "VoiceSource.h"
#include "World.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace Tralvonic::Sim {

class SimulatedClient;

class AudioThread {
public:
    static constexpr int SampleRate = 48000;
    static constexpr int BlockFrames = 960;
    static constexpr std::chrono::milliseconds BlockDuration{20};

    explicit AudioThread(SimulatedClient& client);
    ~AudioThread();
    AudioThread(const AudioThread&) = delete;
    AudioThread& operator=(const AudioThread&) = delete;

    // --- one block, delivered on the audio thread; each waits until the plugin returned ---
    // `samples` holds BlockFrames x channels interleaved values unless a test wants another size.
    std::vector<short> Playback(uint64 handler, anyID client, std::vector<short> samples, int channels = 1);
    struct PostProcessed {
        std::vector<short> Samples;
        unsigned int FillMask = 0;
    };
    // Stereo front left and right, both filled, unless told otherwise.
    PostProcessed PostProcess(uint64 handler, anyID client, std::vector<short> samples, int channels = 2,
                              unsigned int fillMask = 0x3);
    PostProcessed MixedPlayback(uint64 handler, std::vector<short> samples, int channels = 2,
                                unsigned int fillMask = 0x3);
    struct Captured {
        std::vector<short> Samples;
        int Edited = 0;
    };
    // `edited` carries the Sending bit (2) when the user transmits.
    Captured Capture(uint64 handler, std::vector<short> samples, int edited, int channels = 1);
    float Rolloff(uint64 handler, anyID client, float distance, float volume = 1.0f);
    // Runs `work` on the audio thread and waits for it.
    void RunOnAudioThread(const std::function<void()>& work);

    // --- the voices and the whole chain (VoiceRendering.cpp) ---
    // What `client` says while he talks; a talker without a voice hums a quiet tone. For the
    // own client this is the microphone.
    void SetVoice(uint64 handler, anyID client, std::shared_ptr<VoiceSource> voice);
    struct Round {
        std::vector<short> Heard; // stereo, what the user hears after the mixed-playback callback
        unsigned int HeardFillMask = 0;
        std::vector<short> Sent; // mono, the microphone after the captured callback
        int SentWord = 0;
    };
    // One round for the tab, in the host's order: the capture, then for every talking client
    // playback, 3D placement by his position and rolloff, post-process, into the mix, and the
    // mixed playback of the sum.
    Round RenderRound(uint64 handler);
    // Sees every round of the continuous processing, on the audio thread.
    void SetRoundObserver(std::function<void(uint64 handler, const Round&)> observer);

    // --- continuous processing ---
    void Start();
    void Stop();
    std::uint64_t Rounds() const;
    bool IsAudioThread() const { return std::this_thread::get_id() == _thread.get_id(); }

private:
    struct Talker {
        anyID Id;
        TeamSpeak::TS3_VECTOR Offset; // from the listener
    };
    struct Tab {
        uint64 Handler;
        anyID Own;
        bool Sending;
        std::vector<Talker> Talkers;
    };
    void Run();
    void ProcessRound();
    std::vector<Tab> ConnectedTabs(std::optional<uint64> only);
    Round Render(const Tab& tab);
    std::shared_ptr<VoiceSource> VoiceOf(uint64 handler, anyID client, bool isOwn);

    SimulatedClient& _client;
    mutable std::mutex _mutex;
    std::condition_variable _changed;
    std::deque<std::function<void()>> _tasks;                                 // guarded by _mutex
    bool _continuous = false;                                                 // guarded by _mutex
    bool _stopping = false;                                                   // guarded by _mutex
    std::uint64_t _rounds = 0;                                                // guarded by _mutex
    std::map<std::pair<uint64, anyID>, std::shared_ptr<VoiceSource>> _voices; // guarded by _mutex
    std::function<void(uint64, const Round&)> _roundObserver;                 // guarded by _mutex
    std::thread _thread; // owned; joined in the destructor
};

} // namespace Tralvonic::Sim
