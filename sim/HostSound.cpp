// Sounds and 3D audio: wave playback with and without a handle, the listener's attributes
// and the positions of other clients' voices.

#include "HostEntry.h"
#include "HostTable.h"
#include "WorldAccess.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace Tralvonic::Sim {

using namespace TeamSpeak;
using F = TS3Functions;

namespace {

// The real client opens the file at once and answers for a missing or non-wave file.
unsigned int CheckWaveFile(const char* path) {
    if (path == nullptr) {
        return Code(Error::ParameterInvalid);
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return Code(Error::SoundOpenWave);
    }
    char header[12] = {};
    file.read(header, sizeof header);
    if (file.gcount() != sizeof header || std::memcmp(header, "RIFF", 4) != 0 ||
        std::memcmp(header + 8, "WAVE", 4) != 0) {
        return Code(Error::SoundInvalidWave);
    }
    return Ok;
}

template <typename Action> unsigned int WithTab(SimulatedClient& client, uint64 handler, Action&& action) {
    World& world = client.GetWorld();
    unsigned int code;
    {
        std::lock_guard lock(world.Mutex);
        ServerState* server = world.FindServer(handler);
        code = server != nullptr ? action(*server) : Code(Error::InvalidServerConnectionHandlerId);
    }
    client.NotifyChanged();
    return code;
}

unsigned int PlayWaveFile(SimulatedClient& client, uint64 handler, const char* path) {
    if (const unsigned int code = CheckWaveFile(path); code != Ok) {
        return code;
    }
    return WithTab(client, handler, [&](ServerState& server) {
        // Without a handle the sound cannot be paused or stopped; it is kept as closed.
        server.Playbacks.push_back(WavePlayback{0, path, false, false, true});
        return Ok;
    });
}

unsigned int PlayWaveFileHandle(SimulatedClient& client, uint64 handler, const char* path, int loop,
                                uint64* waveHandle) {
    if (waveHandle == nullptr) {
        return Code(Error::ParameterInvalid);
    }
    if (const unsigned int code = CheckWaveFile(path); code != Ok) {
        return code;
    }
    return WithTab(client, handler, [&](ServerState& server) {
        const uint64 handle = server.NextWaveHandle++;
        server.Playbacks.push_back(WavePlayback{handle, path, loop != 0, false, false});
        *waveHandle = handle;
        return Ok;
    });
}

template <typename Action>
unsigned int WithPlayback(SimulatedClient& client, uint64 handler, uint64 handle, Action&& action) {
    return WithTab(client, handler, [&](ServerState& server) {
        auto found =
            std::find_if(server.Playbacks.begin(), server.Playbacks.end(), [&](const WavePlayback& p) {
                return p.Handle == handle && handle != 0 && !p.Closed;
            });
        return found != server.Playbacks.end() ? action(*found) : Code(Error::ParameterInvalid);
    });
}

unsigned int PauseWaveFileHandle(SimulatedClient& client, uint64 handler, uint64 handle, int pause) {
    return WithPlayback(client, handler, handle, [&](WavePlayback& playback) {
        playback.Paused = pause != 0;
        return Ok;
    });
}

unsigned int CloseWaveFileHandle(SimulatedClient& client, uint64 handler, uint64 handle) {
    return WithPlayback(client, handler, handle, [&](WavePlayback& playback) {
        playback.Closed = true;
        return Ok;
    });
}

// A null vector leaves that attribute as it is, as in the SDK.
unsigned int Systemset3DListenerAttributes(SimulatedClient& client, uint64 handler,
                                           const TS3_VECTOR* position, const TS3_VECTOR* forward,
                                           const TS3_VECTOR* up) {
    return WithTab(client, handler, [&](ServerState& server) {
        if (position != nullptr) {
            server.Listener.Position = *position;
        }
        if (forward != nullptr) {
            server.Listener.Forward = *forward;
        }
        if (up != nullptr) {
            server.Listener.Up = *up;
        }
        return Ok;
    });
}

unsigned int Channelset3DAttributes(SimulatedClient& client, uint64 handler, anyID clientId,
                                    const TS3_VECTOR* position) {
    if (position == nullptr) {
        return Code(Error::ParameterInvalid);
    }
    const unsigned int code = WithServer(client, handler, [&](ServerState& server) {
        SimClient* found = server.FindClient(clientId);
        if (found == nullptr) {
            return Code(Error::ClientInvalidId);
        }
        found->Position = *position;
        return Ok;
    });
    client.NotifyChanged();
    return code;
}

} // namespace

void InstallSound(TS3Functions& table) {
    Install<&F::playWaveFile, &PlayWaveFile>(table);
    Install<&F::playWaveFileHandle, &PlayWaveFileHandle>(table);
    Install<&F::pauseWaveFileHandle, &PauseWaveFileHandle>(table);
    Install<&F::closeWaveFileHandle, &CloseWaveFileHandle>(table);
    Install<&F::systemset3DListenerAttributes, &Systemset3DListenerAttributes>(table);
    Install<&F::channelset3DAttributes, &Channelset3DAttributes>(table);
}

} // namespace Tralvonic::Sim
