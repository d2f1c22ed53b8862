#include "StopSignal.h"

#include <pthread.h>
#include <signal.h>

namespace Tralvonic::Sim::Host {

namespace {

sigset_t stopSignals;
pthread_t mainThread;

} // namespace

void StopSignal::Install() {
    // Blocked before any thread starts, so every thread inherits the mask and the signals
    // reach only the sigwait in Wait.
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    mainThread = pthread_self();
}

std::string StopSignal::Wait() {
    int signal = 0;
    sigwait(&stopSignals, &signal);
    return signal == SIGINT ? "SIGINT" : "SIGTERM";
}

void StopSignal::Request() {
    pthread_kill(mainThread, SIGTERM);
}

} // namespace Tralvonic::Sim::Host
