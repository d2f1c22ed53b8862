#pragma once
// What a user of tralvonic-host can type while it runs: one command a line on standard input,
// read on a thread of its own until the input ends or the reader is stopped.

#include <functional>
#include <memory>
#include <string>
#include <string_view>
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
    // Stops reading: joins the thread, or, where the system cannot interrupt a read of standard
    // input (Windows under Wine), leaves it blocked in that read, never to execute again.
    ~CommandReader();
    CommandReader(const CommandReader&) = delete;
    CommandReader& operator=(const CommandReader&) = delete;

    static void PrintHelp();

private:
    // Standard input and the means to stop reading it (CommandReaderPosix.cpp,
    // CommandReaderWin32.cpp).
    struct Input;

    void Run(std::shared_ptr<Input> input);
    // Splits what was read into lines and executes each whole one.
    void Feed(std::string_view bytes);
    void Execute(const std::string& line);

    SimulatedClient& _client;
    PluginDriver& _driver;
    std::function<void()> _stop;
    std::string _line;
    bool _overlong = false;
    std::shared_ptr<Input> _input;
    std::thread _thread;
};

} // namespace Tralvonic::Sim::Host
