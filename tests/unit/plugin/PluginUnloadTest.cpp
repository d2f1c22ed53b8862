// The built library as the TeamSpeak client treats it: loaded, started, used by game
// clients, stopped and unloaded, fifty times in one process. Every cycle must leave nothing
// running and nothing pointing into the library: it really goes away at dlclose, so a thread
// or a handler left behind would crash the process (and AddressSanitizer reports any leak).

#include "unit/plugin/PluginFixture.h"

#include "support/LoadedLibrary.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/websocket/stream.hpp>

#include <chrono>
#include <exception>
#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <thread>

namespace Tralvonic::Test {
namespace {

namespace net = boost::asio;
namespace websocket = boost::beast::websocket;
using net::ip::tcp;

constexpr int Cycles = 50;
constexpr std::chrono::seconds Deadline{10};

// A game client on plain Beast: connects, then reads on a thread of its own, which also
// answers the server's closing handshake, until the server ends the connection.
class RawGameClient {
public:
    explicit RawGameClient(unsigned short port) {
        _socket.next_layer().connect(tcp::endpoint(net::ip::address_v4::loopback(), port));
        _socket.handshake("127.0.0.1:" + std::to_string(port), "/");
        _socket.async_read(_buffer,
                           [this](boost::beast::error_code error, std::size_t) { _ended.set_value(error); });
        _thread = std::thread([this] { _io.run(); });
    }

    ~RawGameClient() {
        _io.stop();
        _thread.join();
    }

    RawGameClient(const RawGameClient&) = delete;
    RawGameClient& operator=(const RawGameClient&) = delete;

    // The error with which the connection ended, once it has; absent when it still runs
    // after the deadline.
    std::optional<boost::beast::error_code> WaitForEnd() {
        auto ended = _ended.get_future();
        if (ended.wait_for(Deadline) != std::future_status::ready) {
            return std::nullopt;
        }
        return ended.get();
    }

private:
    net::io_context _io;
    websocket::stream<tcp::socket> _socket{_io};
    boost::beast::flat_buffer _buffer;
    std::promise<boost::beast::error_code> _ended;
    std::thread _thread;
};

unsigned short FreeLoopbackPort() {
    net::io_context io;
    tcp::acceptor acceptor(io, tcp::endpoint(net::ip::address_v4::loopback(), 0));
    return acceptor.local_endpoint().port();
}

bool IsLoaded(const std::filesystem::path& library) {
    return Testing::IsLibraryLoaded(library);
}

TEST(PluginUnload, FiftyCyclesOfLoadStartConnectStopUnload) {
    PluginFolder folder;
    const std::filesystem::path library = folder.Directory / TRALVONIC_PLUGIN_FILE_NAME;
    std::filesystem::copy_file(TRALVONIC_PLUGIN_LIBRARY, library);
    // One fixed port for every cycle, as the real plugin uses: each start binds it again.
    const unsigned short port = FreeLoopbackPort();
    folder.WriteSettings(R"({"ExpertMode":true,"WebSocketAddress":"127.0.0.1:)" + std::to_string(port) +
                         R"("})");

    Sim::SimulatedClient sim;
    auto& server = sim.AddServer("uid-unload", "Unload");
    server.AddOwnClient("Me", server.AddChannel("Lobby"));

    const std::terminate_handler hostTerminateHandler = std::get_terminate();

    for (int cycle = 0; cycle < Cycles; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        auto driver = Sim::PluginDriver::Load(sim, library.string());
        ASSERT_TRUE(IsLoaded(library));
        ASSERT_EQ(driver->Start(), 0);
        ASSERT_NE(server.Own().MetaData().find("<Tralvonic>3.1.2</Tralvonic>"), std::string::npos);

        RawGameClient first(port);
        RawGameClient second(port);
        driver->Shutdown();

        // The stop ended both connections (closed, or dropped if the server had not yet
        // listed one) and withdrew the version.
        EXPECT_TRUE(first.WaitForEnd().has_value());
        EXPECT_TRUE(second.WaitForEnd().has_value());
        EXPECT_EQ(server.Own().MetaData().find("<Tralvonic>"), std::string::npos);

        // Nothing of the process may point into the library any more.
        EXPECT_EQ(std::get_terminate(), hostTerminateHandler);
        driver.reset();
        ASSERT_FALSE(IsLoaded(library)) << "the library stayed mapped after dlclose";
    }
}

using FailedStart = PluginTest;

TEST_F(FailedStart, LeavesNoHandlerBehindForTheUnloadThatFollows) {
    const std::terminate_handler hostTerminateHandler = std::get_terminate();
    std::filesystem::remove(Folder.Folder() / CompleteEffectLibrary.filename());

    EXPECT_EQ(StartPlugin(), 1);

    EXPECT_EQ(std::get_terminate(), hostTerminateHandler);
}

} // namespace
} // namespace Tralvonic::Test
