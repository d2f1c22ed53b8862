#pragma once
// The voices and recordings of tralvonic-host's command line: simulated clients that talk,
// and the files of what the user hears and sends.

#include "Options.h"

#include <memory>

namespace Tralvonic::Sim {
class AudioThread;
class SimServer;
class WaveWriter;
} // namespace Tralvonic::Sim

namespace Tralvonic::Sim::Host {

// Keeps the recordings open while it lives and finishes the files when destroyed.
class Recordings {
public:
    Recordings();
    ~Recordings();
    Recordings(const Recordings&) = delete;
    Recordings& operator=(const Recordings&) = delete;

    // Gives every named client his voice and lets him talk, and starts the recordings; the
    // audio must not run yet. Throws std::runtime_error for an unknown name or file.
    void Apply(const Options& options, SimServer& server, AudioThread& audio);

private:
    std::shared_ptr<WaveWriter> _heard;
    std::shared_ptr<WaveWriter> _sent;
};

} // namespace Tralvonic::Sim::Host
