// The simulated client's function table as a plugin sees it: every slot filled, calls
// recorded, the host log kept and every allocation accounted for.

#include "HostMemory.h"
#include "SimulatedClient.h"

#include "TeamSpeak/sdk/ErrorCodes.h"

#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <thread>

namespace Tralvonic::Sim {
namespace {

constexpr auto NotImplemented = static_cast<unsigned int>(TeamSpeak::Error::NotImplemented);

TEST(SimHostTable, EverySlotIsFilled) {
    SimulatedClient sim;
    const auto& table = sim.Functions();
    const auto* slots = reinterpret_cast<void* const*>(&table);
    for (std::size_t i = 0; i < TeamSpeak::TS3FunctionsSlotCount; ++i) {
        EXPECT_NE(slots[i], nullptr) << "slot " << i;
    }
}

TEST(SimHostTable, UnsupportedFunctionIsRecordedAndAnswersNotImplemented) {
    SimulatedClient sim;
    EXPECT_EQ(sim.Functions().requestClientPoke(1, 7, "hello", nullptr), NotImplemented);
    sim.Functions().printMessage(1, "text", TeamSpeak::PLUGIN_MESSAGE_TARGET_SERVER);

    auto poke = sim.LastCall("requestClientPoke");
    ASSERT_TRUE(poke);
    EXPECT_EQ(poke->Arguments, (std::vector<std::string>{"1", "7", "hello", "<null>"}));
    EXPECT_EQ(poke->Result, NotImplemented);
    EXPECT_EQ(poke->Text(), "requestClientPoke(1, 7, hello, <null>) = 2");
    auto print = sim.LastCall("printMessage");
    ASSERT_TRUE(print);
    EXPECT_FALSE(print->Result);
    EXPECT_TRUE(print->Completed);
}

TEST(SimHostTable, OnlyOneClientIsActiveAtATime) {
    auto first = std::make_unique<SimulatedClient>();
    EXPECT_THROW(SimulatedClient second, std::logic_error);
    auto table = first->Functions();
    first.reset();
    // Without an active client the entries fail instead of reaching a destroyed one.
    EXPECT_EQ(table.logMessage("x", TeamSpeak::LogLevel_INFO, "c", 0),
              static_cast<unsigned int>(TeamSpeak::Error::Undefined));
    SimulatedClient next;
    EXPECT_EQ(next.Functions().logMessage("x", TeamSpeak::LogLevel_INFO, "c", 0), 0u);
}

TEST(SimHostLog, KeepsEveryFieldOfEachLine) {
    SimulatedClient sim;
    sim.Functions().logMessage("Grüße", TeamSpeak::LogLevel_WARNING, "Tralvonic", 9);
    sim.Functions().logMessage("second", TeamSpeak::LogLevel_ERROR, "Plugin Wrapper", 0);

    auto entries = sim.LogEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Message, "Grüße");
    EXPECT_EQ(entries[0].Severity, TeamSpeak::LogLevel_WARNING);
    EXPECT_EQ(entries[0].Channel, "Tralvonic");
    EXPECT_EQ(entries[0].LogId, 9u);
    EXPECT_EQ(entries[1].Channel, "Plugin Wrapper");
    sim.ClearLog();
    EXPECT_TRUE(sim.LogEntries().empty());
}

TEST(SimHostMemory, FreesEachBlockOnceAndCountsFaults) {
    SimulatedClient sim;
    auto& memory = sim.Memory();
    char* text = memory.AllocateString("abc");
    auto* list = memory.AllocateZeroTerminated(std::vector<TeamSpeak::anyID>{4, 5});
    EXPECT_STREQ(text, "abc");
    EXPECT_EQ(list[2], 0);
    EXPECT_EQ(memory.OutstandingBlocks(), 2u);

    EXPECT_EQ(sim.Functions().freeMemory(text), 0u);
    EXPECT_NE(sim.Functions().freeMemory(text), 0u);
    int local = 0;
    EXPECT_NE(sim.Functions().freeMemory(&local), 0u);

    EXPECT_EQ(memory.OutstandingBlocks(), 1u);
    EXPECT_TRUE(memory.IsOutstanding(list));
    EXPECT_EQ(memory.BlocksHandedOut(), 2u);
    EXPECT_EQ(memory.BlocksFreed(), 1u);
    EXPECT_EQ(memory.DoubleFrees(), 1u);
    EXPECT_EQ(memory.UnknownFrees(), 1u);
}

TEST(SimCallRecord, WaitsForCallsFromOtherThreads) {
    SimulatedClient sim;
    std::thread caller([&] { sim.Functions().logMessage("late", TeamSpeak::LogLevel_INFO, "c", 0); });
    EXPECT_TRUE(sim.WaitForCall("logMessage"));
    caller.join();
    EXPECT_NE(sim.LastCall("logMessage")->Thread, std::this_thread::get_id());
    EXPECT_FALSE(sim.WaitForCall("logMessage", std::chrono::milliseconds(20), 2));
}

} // namespace
} // namespace Tralvonic::Sim
