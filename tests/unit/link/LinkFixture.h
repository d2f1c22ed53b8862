#pragma once
// The fixture of the WebSocket tests: a simulated TeamSpeak client whose host log receives
// the plugin's lines, a server on an ephemeral loopback port whose message handler records
// what arrives, and Node.js game clients (tests/js/client.js) driven line by line.

#include "unit/link/ChildProcess.h"

#include "SimulatedClient.h"

#include "TeamSpeak/Base.h"
#include "core/Base.h"
#include "core/LogChannel.h"
#include "link/WebSocket.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace Tralvonic::Test {

inline constexpr std::chrono::milliseconds ClientTimeout{20000};

// The host's log severities, as the simulated client records them.
inline constexpr int HostError = 1;
inline constexpr int HostWarning = 2;
inline constexpr int HostDebug = 3;
inline constexpr int HostInfo = 4;

// Joined with "/" on every platform: the scripts run in Linux's Node.js, under Wine too.
inline std::filesystem::path ScriptPath(std::string_view name) {
    return std::filesystem::path(std::string(TRALVONIC_TEST_SCRIPTS) + "/" + std::string(name));
}

struct ReceivedMessage {
    std::shared_ptr<Connection> From;
    std::string Text;
};

// What the server's message handler saw, in order; waits with deadlines.
class MessageRecorder {
public:
    void Add(const std::shared_ptr<Connection>& from, const std::string& text) {
        {
            std::lock_guard lock(_mutex);
            _messages.push_back({from, text});
        }
        _changed.notify_all();
    }

    bool WaitFor(const std::function<bool(const std::vector<ReceivedMessage>&)>& done,
                 std::chrono::milliseconds timeout = ClientTimeout) {
        std::unique_lock lock(_mutex);
        return _changed.wait_for(lock, timeout, [&] { return done(_messages); });
    }

    std::optional<ReceivedMessage> WaitForText(const std::string& text,
                                               std::chrono::milliseconds timeout = ClientTimeout) {
        std::optional<ReceivedMessage> found;
        WaitFor(
            [&](const auto& messages) {
                for (const auto& message : messages) {
                    if (message.Text == text)
                        found = message;
                }
                return found.has_value();
            },
            timeout);
        return found;
    }

    std::vector<ReceivedMessage> All() const {
        std::lock_guard lock(_mutex);
        return _messages;
    }

private:
    mutable std::mutex _mutex;
    std::condition_variable _changed;
    std::vector<ReceivedMessage> _messages;
};

// A Node.js game client; `Ready` also guarantees that the server has listed it.
struct GameClient {
    std::unique_ptr<ChildProcess> Process;
    std::uint16_t LocalPort = 0;
    std::shared_ptr<Tralvonic::Connection> Connection;

    void Command(std::string_view line) { Process->WriteLine(line); }
    std::optional<std::string> WaitForPrefix(std::string_view prefix) {
        return Process->WaitForPrefix(prefix, ClientTimeout);
    }
    std::optional<std::string> WaitForLine(const std::string& line) {
        return Process->WaitForLine([&](const std::string& candidate) { return candidate == line; },
                                    ClientTimeout);
    }
};

class LinkTest : public ::testing::Test {
protected:
    LinkTest() {
        TeamSpeak::Base::SetFunctions(Sim.Functions());
        Base::SetConfiguration(Configuration{});
    }

    ~LinkTest() override { Base::SetConfiguration(Configuration{}); }

    void SetLogLevel(LogLevel level) {
        Configuration configuration;
        configuration.LogLevel = level;
        Base::SetConfiguration(configuration);
    }

    // A started server whose handler records every message and then runs `OnMessage`.
    std::unique_ptr<WebSocket> StartServer(std::string address = "127.0.0.1:0", WebSocketLimits limits = {}) {
        auto server = std::make_unique<WebSocket>(address, limits);
        server->SetMessageHandler([this](const std::shared_ptr<Connection>& from, const std::string& text) {
            Recorder.Add(from, text);
            if (OnMessage)
                OnMessage(from, text);
        });
        server->Start();
        return server;
    }

    // Spawns a client and waits for its open (or for whatever it printed instead).
    GameClient Spawn(const WebSocket& server, std::optional<std::string> origin = std::nullopt) {
        std::vector<std::string> argv{"node", ScriptPath("client.js").string(), *server.Address()};
        if (origin) {
            argv.push_back("--origin");
            argv.push_back(*origin);
        }
        GameClient client;
        client.Process = std::make_unique<ChildProcess>(argv);
        const auto opened = client.Process->ReadLine(ClientTimeout);
        EXPECT_TRUE(opened && opened->starts_with("open ")) << opened.value_or("(no output)");
        if (opened && opened->starts_with("open "))
            client.LocalPort = static_cast<std::uint16_t>(std::stoi(opened->substr(5)));
        return client;
    }

    // A client that the server has accepted and listed: its first message reached the handler.
    GameClient Connect(const WebSocket& server, std::optional<std::string> origin = std::nullopt) {
        auto client = Spawn(server, std::move(origin));
        const std::string hello = "ready " + std::to_string(client.LocalPort);
        client.Command("send " + hello);
        const auto received = Recorder.WaitForText(hello);
        EXPECT_TRUE(received.has_value()) << "the server did not hand over the client's first message";
        if (received)
            client.Connection = received->From;
        return client;
    }

    std::vector<Sim::LogEntry> LogsOn(LogChannel channel) const {
        std::vector<Sim::LogEntry> entries;
        for (auto& entry : Sim.LogEntries()) {
            if (entry.LogId == static_cast<std::uint64_t>(channel))
                entries.push_back(std::move(entry));
        }
        return entries;
    }

    // The first line on `channel` that contains `text`, once it has been written.
    std::optional<Sim::LogEntry> WaitForLog(LogChannel channel, const std::string& text) {
        std::optional<Sim::LogEntry> found;
        Sim.WaitFor(
            [&] {
                for (const auto& entry : LogsOn(channel)) {
                    if (entry.Message.find(text) != std::string::npos) {
                        found = entry;
                        return true;
                    }
                }
                return false;
            },
            ClientTimeout);
        return found;
    }

    // Re-checked after every host log line: every change of the connection list is logged.
    bool WaitForOpenConnections(const WebSocket& server, std::int32_t count) {
        return Sim.WaitFor([&] { return server.OpenConnections() == count; }, ClientTimeout);
    }

    Sim::SimulatedClient Sim;
    MessageRecorder Recorder;
    std::function<void(const std::shared_ptr<Connection>&, const std::string&)> OnMessage;
};

} // namespace Tralvonic::Test
