#pragma once
// What the console answers for each request, apart from the sockets: the page's files, the
// scene as JSON (GET /api/state) and the controls (POST /api/clients/..., /api/server/...).
// The live event stream (GET /api/events) is the server's: it pushes State() as it changes.

#include <string>
#include <string_view>

namespace Tralvonic::Sim {
class SimulatedClient;
class SimServer;
} // namespace Tralvonic::Sim

namespace Tralvonic::Sim::Host {

class GameLinkRecords;
class GameView;

inline constexpr std::string_view EventStreamPath = "/api/events";

struct HttpAnswer {
    unsigned int Status = 200;
    std::string ContentType;
    std::string Body;
};

class Routes {
public:
    // `gameView` may be null.
    Routes(SimulatedClient& client, SimServer& server, const GameView* gameView,
           const GameLinkRecords& records);

    HttpAnswer Answer(std::string_view method, std::string_view target, std::string_view body) const;
    // The scene as StateJson makes it.
    std::string State() const;

private:
    SimulatedClient& _client;
    SimServer& _server;
    const GameView* const _gameView;
    const GameLinkRecords& _records;
};

} // namespace Tralvonic::Sim::Host
