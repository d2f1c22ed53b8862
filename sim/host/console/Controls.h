#pragma once
// The console's controls: the page acts as the host would, and every control goes through
// the simulated server's happenings, so the plugin gets the very callbacks the client would
// raise. Paths and bodies (JSON objects):
//   POST /api/clients/ID/move   {"Channel":N}     the client moves himself (the user too)
//   POST /api/clients/ID/talk   {"Talking":bool}  starts or stops talking (the user too)
//   POST /api/clients/ID/mute   {"Muted":bool}    another client: the user's local mute;
//                                                 the user: his microphone
//   POST /api/clients/ID/sound  {"Muted":bool}    the user only: his speakers
//   POST /api/server/disconnect, /api/server/connect   (no body needed)
// Answers: 200 done, 400 a request the console cannot read, 404 an unknown control, client
// or channel, 409 a control that does not fit the world as it is (already there, not
// connected). Runs on the console's thread; takes the world lock only inside SimServer.

#include <string>
#include <string_view>

namespace Tralvonic::Sim {
class SimServer;
} // namespace Tralvonic::Sim

namespace Tralvonic::Sim::Host {

struct ControlAnswer {
    int Status = 200;
    std::string Message; // what was done, or why not
};

ControlAnswer RunControl(SimServer& server, std::string_view path, std::string_view body);

} // namespace Tralvonic::Sim::Host
