#include "DefaultWorld.h"

namespace Tralvonic::Sim::Host {

SimServer& BuildDefaultWorld(SimulatedClient& client) {
    SimServer& server = client.AddServer("tralvonic-sim-server-uid=", "Tralvonic Simulated Server",
                                         TeamSpeak::STATUS_DISCONNECTED);
    server.SetConnectInfo("127.0.0.1", 9987);
    server.SetServerAddress("127.0.0.1", 9987);
    server.SetServerVariable(TeamSpeak::VIRTUALSERVER_WELCOMEMESSAGE, "Welcome to the simulated server");

    const uint64 lobby = server.AddChannel("Lobby");
    const uint64 ingame = server.AddChannel("Ingame");
    const uint64 support = server.AddChannel("Support");
    server.AddChannel("Waiting for support", support);
    server.AddChannel("Support 1", support, "support");

    server.AddOwnClient("Player", lobby);
    server.AddClient("Alice", lobby);
    server.AddClient("Bob", ingame);
    server.AddClient("Carl", ingame);
    server.AddClient("Supporter", support);

    client.SetPermissionId("i_client_whisper_power", 71);
    client.SetPermissionId("i_client_needed_whisper_power", 72);
    return server;
}

} // namespace Tralvonic::Sim::Host
