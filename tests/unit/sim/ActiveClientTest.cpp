// The simulated client goes only once no host call of a plugin thread is still inside it; a
// call that starts after that finds no client. Host calls from plugin threads that outlive a
// test are what this guards against.

#include "ActiveClient.h"
#include "SimulatedClient.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

namespace Tralvonic::Sim {
namespace {

using namespace std::chrono_literals;

TEST(ActiveClient, TheClientGoesOnlyOnceTheLastCallInsideItHasEnded) {
    auto client = std::make_unique<SimulatedClient>();
    SimulatedClient* const address = client.get();

    std::promise<void> callIsInside;
    std::promise<void> endCall;
    std::thread caller([&] {
        ActiveClient::Call call;
        EXPECT_EQ(call.Client(), address);
        callIsInside.set_value();
        endCall.get_future().wait();
    });
    callIsInside.get_future().wait();

    std::atomic<bool> isGone{false};
    std::thread destroyer([&] {
        client.reset();
        isGone = true;
    });
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(isGone) << "the client went while a call was inside it";

    endCall.set_value();
    caller.join();
    destroyer.join();
    EXPECT_TRUE(isGone);
    EXPECT_EQ(ActiveClient::Call().Client(), nullptr);

    // The place is free for the next client.
    SimulatedClient next;
    EXPECT_EQ(ActiveClient::Call().Client(), &next);
}

TEST(ActiveClient, EveryClientGoesWhileAPluginThreadKeepsCalling) {
    // Six hundred clients, each going while a plugin thread of its own calls without a pause:
    // the last call out and the going client meet in every order, and a missed wake-up would
    // leave a going client waiting for good.
    constexpr int Clients = 600;
    for (int round = 0; round < Clients; ++round) {
        auto client = std::make_unique<SimulatedClient>();
        std::atomic<bool> sawTheClient{false};
        std::thread caller([&] {
            for (;;) {
                ActiveClient::Call call;
                if (call.Client() == nullptr) {
                    return;
                }
                sawTheClient = true;
                // Calls of every length, the longer ones outlasting the going client's spin.
                for (int step = 0; step < round % 16; ++step) {
                    std::this_thread::yield();
                }
            }
        });
        while (!sawTheClient) {
            std::this_thread::yield();
        }
        client.reset();
        caller.join();
    }
}

} // namespace
} // namespace Tralvonic::Sim
