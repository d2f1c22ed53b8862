#include "PingAnswer.h"

#include "GameMessages.h"
#include "PluginReports.h"

namespace Tralvonic::Sim::Host::Demo {

bool PingAnswer::Handle(const PluginReport& report) {
    if (report.Command != static_cast<int>(Command::Ping)) {
        return false;
    }
    if (_answering) {
        _send(_pong);
        ++_answered;
    }
    return true;
}

} // namespace Tralvonic::Sim::Host::Demo
