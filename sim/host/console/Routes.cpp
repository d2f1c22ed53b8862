#include "Routes.h"

#include "Controls.h"
#include "PageFiles.h"
#include "StateSnapshot.h"

#include "SimServer.h"

#include <boost/json/serialize.hpp>
#include <boost/json/value.hpp>

#include <stdexcept>

namespace Tralvonic::Sim::Host {

namespace {

constexpr std::string_view JsonType = "application/json";

HttpAnswer JsonAnswer(unsigned int status, std::string_view key, std::string_view message) {
    boost::json::object body;
    body[key] = message;
    return {status, std::string(JsonType), boost::json::serialize(body)};
}

bool IsControl(std::string_view path) {
    return path.starts_with("/api/clients/") || path.starts_with("/api/server/");
}

} // namespace

Routes::Routes(SimulatedClient& client, SimServer& server, const GameView* gameView,
               const GameLinkRecords& records)
    : _client(client), _server(server), _gameView(gameView), _records(records) {}

std::string Routes::State() const {
    return StateJson(_client, _server.Handler(), _gameView, _records);
}

HttpAnswer Routes::Answer(std::string_view method, std::string_view target, std::string_view body) const {
    const std::string_view path = target.substr(0, target.find('?'));
    if (IsControl(path)) {
        if (method != "POST") {
            return JsonAnswer(405, "Error", "controls are sent with POST");
        }
        try {
            const ControlAnswer answer = RunControl(_server, path, body);
            return JsonAnswer(answer.Status, answer.Status == 200 ? "Done" : "Error", answer.Message);
        } catch (const std::out_of_range& gone) {
            // The client or channel went away between the check and the happening.
            return JsonAnswer(404, "Error", gone.what());
        }
    }
    if (method != "GET" && method != "HEAD") {
        return JsonAnswer(405, "Error", "only GET here");
    }
    if (path == "/api/state") {
        return {200, std::string(JsonType), State()};
    }
    for (const PageFile& file : PageFiles()) {
        if (file.Path == path || (path == "/index.html" && file.Path == "/")) {
            return {200, std::string(file.ContentType), std::string(file.Content)};
        }
    }
    return JsonAnswer(404, "Error", "nothing at " + std::string(path));
}

} // namespace Tralvonic::Sim::Host
