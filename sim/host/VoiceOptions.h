#pragma once
// tralvonic-host's command line: the plugin library, the voices of simulated clients and
// the recordings of what the user hears and sends.
//   tralvonic-host [PLUGIN.so] [--voice NAME=FILE.wav|NAME=tone:HZ]... [--record FILE.wav]
//                  [--record-mic FILE.wav]

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Tralvonic::Sim {
class AudioThread;
class SimServer;
class WaveWriter;
} // namespace Tralvonic::Sim

namespace Tralvonic::Sim::Host {

struct VoiceOption {
    std::string Name;   // the client's nickname
    std::string Source; // a WAV file or "tone:HZ"
};

struct Options {
    std::optional<std::string> PluginPath;
    std::vector<VoiceOption> Voices;
    std::optional<std::string> Record;
    std::optional<std::string> RecordMicrophone;
};

// Throws std::invalid_argument with a usage line for anything it does not understand.
Options ParseOptions(int argc, char** argv);

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
