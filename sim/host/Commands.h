#pragma once
// What a user of tralvonic-host can type while it runs: one command a line on standard input,
// read on a thread of its own until the input ends or the reader is stopped.

#include <functional>
#include <string>
#include <thread>

namespace Tralvonic::Sim {
class PluginDriver;
class SimulatedClient;
} // namespace Tralvonic::Sim

namespace Tralvonic::Sim::Host {

class CommandReader {
public:
    // `stop` is called for "quit"; the plugin's menus are selected through `driver`; "calls"
    // counts the plugin's calls of a host function on `client`.
    CommandReader(SimulatedClient& client, PluginDriver& driver, std::function<void()> stop);
    // Stops reading and joins the thread.
    ~CommandReader();
    CommandReader(const CommandReader&) = delete;
    CommandReader& operator=(const CommandReader&) = delete;

    static void PrintHelp();

private:
    void Run();
    void Execute(const std::string& line);

    SimulatedClient& _client;
    PluginDriver& _driver;
    std::function<void()> _stop;
    int _wake[2] = {-1, -1};
    std::thread _thread;
};

} // namespace Tralvonic::Sim::Host
