// A thousand cycles of the built library as a TeamSpeak client that is left running for days
// might put it through: load, start, a game that starts an instance, stop, unload. Nothing
// may stay behind: no thread, no mapping of the library, and no memory (measured as the
// process's resident size, so meaningful only without sanitizers). Long: outside the default
// run, started by scripts/cycles.sh.

#include "unit/plugin/PluginFixture.h"

#include "support/ThreadCount.h"

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/websocket/stream.hpp>

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace Tralvonic::Test {
namespace {

namespace net = boost::asio;
namespace websocket = boost::beast::websocket;
using net::ip::tcp;

constexpr int Cycles = 1000;
// Cycles before the first measurement: allocator arenas, thread stacks and the loader's
// caches reach their working size.
constexpr int WarmUpCycles = 50;
constexpr long MaxGrowthKiB = 8 * 1024;

long ResidentKiB() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

unsigned short FreeLoopbackPort() {
    net::io_context io;
    tcp::acceptor acceptor(io, tcp::endpoint(net::ip::address_v4::loopback(), 0));
    return acceptor.local_endpoint().port();
}

// Connects, starts an instance on the simulated server and reads its first answer.
void PlayBriefly(unsigned short port) {
    net::io_context io;
    websocket::stream<tcp::socket> socket(io);
    socket.next_layer().connect(tcp::endpoint(net::ip::address_v4::loopback(), port));
    socket.handshake("127.0.0.1:" + std::to_string(port), "/");
    socket.text(true);
    socket.write(net::buffer(std::string(
        R"({"Command":1,"Parameter":{"ServerUniqueIdentifier":"uid-cycles","Name":"Hero","ChannelId":2}})")));
    boost::beast::flat_buffer buffer;
    socket.read(buffer);
}

TEST(PluginCycles, DISABLED_AThousandCyclesLeaveNoThreadMappingOrMemoryBehind) {
    PluginFolder folder;
    const std::filesystem::path library = folder.Directory / TRALVONIC_PLUGIN_FILE_NAME;
    std::filesystem::copy_file(TRALVONIC_PLUGIN_LIBRARY, library);
    const unsigned short port = FreeLoopbackPort();
    // The address is kept only in expert mode.
    folder.WriteSettings(R"({"ExpertMode":true,"WebSocketAddress":"127.0.0.1:)" + std::to_string(port) +
                         R"(","LogLevel":"Error"})");

    Sim::SimulatedClient sim;
    auto& server = sim.AddServer("uid-cycles", "Cycles");
    server.AddOwnClient("Me", server.AddChannel("Lobby"));
    server.AddChannel("Ingame");

    const std::size_t threadsBefore = Testing::ThreadCount();
    long warmedUp = 0;
    for (int cycle = 0; cycle < Cycles; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        {
            auto driver = Sim::PluginDriver::Load(sim, library.string());
            ASSERT_EQ(driver->Start(), 0);
            PlayBriefly(port);
            driver->Shutdown();
        }
        void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_NOLOAD);
        ASSERT_EQ(handle, nullptr) << "the library stayed mapped after dlclose";
        ASSERT_EQ(Testing::ThreadCount(), threadsBefore);
        // The simulated host keeps every call and log line; they are not the plugin's memory.
        sim.Record().Clear();
        sim.ClearLog();
        if (cycle == WarmUpCycles)
            warmedUp = ResidentKiB();
    }
    const long grown = ResidentKiB() - warmedUp;
    RecordProperty("ResidentGrowthKiB", std::to_string(grown));
    EXPECT_LE(grown, MaxGrowthKiB) << "resident size grew by " << grown << " KiB over "
                                   << (Cycles - WarmUpCycles) << " cycles";
}

} // namespace
} // namespace Tralvonic::Test
