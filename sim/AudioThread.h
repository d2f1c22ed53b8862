#pragma once
// The simulated client's audio processing: the four voice-data callbacks and the custom 3D
// rolloff reach the plugin on this thread only, in blocks of 20 ms (960 frames at 48 kHz).
// A test hands one block through and gets it back as the plugin left it; tralvonic-host
// runs it continuously, one round of blocks every 20 ms for every connected tab.

#include "World.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
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

    // --- continuous processing ---
    void Start();
    void Stop();
    std::uint64_t Rounds() const;
    bool IsAudioThread() const { return std::this_thread::get_id() == _thread.get_id(); }

private:
    void Run();
    void ProcessRound();

    SimulatedClient& _client;
    mutable std::mutex _mutex;
    std::condition_variable _changed;
    std::deque<std::function<void()>> _tasks; // guarded by _mutex
    bool _continuous = false;                 // guarded by _mutex
    bool _stopping = false;                   // guarded by _mutex
    std::uint64_t _rounds = 0;                // guarded by _mutex
    std::thread _thread;                      // owned; joined in the destructor
};

} // namespace Tralvonic::Sim
