#pragma once
// tralvonic-host's web console: a page on 127.0.0.1 with a live map of the simulated scene
// and controls that act as the host would (see Controls.h, Routes.h). It owns one I/O thread
// that serves the page, listens to the plugin's game link and pushes changes; Stop (or the
// destructor) stops and joins it, and must run before the plugin is shut down.

#include "ConsoleOptions.h"

#include <memory>

namespace Tralvonic::Sim {
class SimulatedClient;
class SimServer;
} // namespace Tralvonic::Sim

namespace Tralvonic::Sim::Host {

class GameView;

class Console {
public:
    // Starts at once unless `options` switch it off, and prints the line
    // "[sim] console at http://127.0.0.1:PORT/"; a console that cannot start prints why and
    // the host runs on without it. `gameView` may be null.
    Console(SimulatedClient& client, SimServer& server, const GameView* gameView,
            const ConsoleOptions& options);
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    void Stop();

private:
    struct Parts;
    std::unique_ptr<Parts> _parts;
};

} // namespace Tralvonic::Sim::Host
