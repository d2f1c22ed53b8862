// The call checker, the error names in its lines and the host logger it writes through.

#include "SimulatedClient.h"

#include "TeamSpeak/Base.h"
#include "TeamSpeak/Error.h"
#include "TeamSpeak/Logger.h"

#include <gtest/gtest.h>

namespace TeamSpeak {
namespace {

class CallCheck : public testing::Test {
protected:
    CallCheck() { Base::SetFunctions(sim.Functions()); }

    Tralvonic::Sim::SimulatedClient sim;
};

TEST_F(CallCheck, SuccessCodesPassWithoutALogLine) {
    EXPECT_TRUE(Base::Check(0));
    EXPECT_TRUE(Base::Check(3));
    EXPECT_TRUE(sim.LogEntries().empty());
}

TEST_F(CallCheck, FailureLogsNameCodeUnitAndLineOfTheCaller) {
    // Each call's line is taken in the same expression, so no formatting can move them apart.
    struct Call {
        unsigned Line;
        bool Result;
    };
    const Call undefined{__LINE__, Base::Check(1)};
    const Call client{__LINE__, Base::Check(0x200)};
    EXPECT_FALSE(undefined.Result);
    EXPECT_FALSE(client.Result);

    auto entries = sim.LogEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].Message, "Undefined (1) at CallCheckTest:" + std::to_string(undefined.Line));
    EXPECT_EQ(entries[0].Severity, LogLevel_ERROR);
    EXPECT_EQ(entries[0].Channel, "Plugin Wrapper");
    EXPECT_EQ(entries[0].LogId, 0u);
    EXPECT_EQ(entries[1].Message, "ClientInvalidId (512) at CallCheckTest:" + std::to_string(client.Line));
}

TEST_F(CallCheck, UnknownCodeIsNamedByItsNumber) {
    const auto here = std::source_location::current();
    EXPECT_FALSE(Base::Check(0x1234, here));
    ASSERT_EQ(sim.LogEntries().size(), 1u);
    EXPECT_EQ(sim.LogEntries()[0].Message, "4660 (4660) at CallCheckTest:" + std::to_string(here.line()));
}

TEST(ErrorNames, FollowTheSdkListIncludingItsEdges) {
    EXPECT_EQ(ToString(Error::Ok), "Ok");
    EXPECT_EQ(ToString(Error::ChannelInvalidPassword), "ChannelInvalidPassword");
    EXPECT_EQ(ToString(Error::InvalidServerConnectionHandlerId), "InvalidServerConnectionHandlerId");
    EXPECT_EQ(ToString(static_cast<Error>(0x070D)), "ConnectionIPProtocolMissing");
    EXPECT_EQ(ToString(std::rbegin(ErrorNames)->Code), std::rbegin(ErrorNames)->Name);
    // Gaps inside a block are unknown, as is everything past the last code.
    EXPECT_EQ(ToString(static_cast<Error>(0x0202)), "514");
    EXPECT_EQ(ToString(static_cast<Error>(0xFFFFFFFF)), "4294967295");
    EXPECT_FALSE(KnownErrorName(static_cast<Error>(0x0202)));
}

TEST(UnitNames, DropDirectoryAndExtension) {
    EXPECT_EQ(Base::UnitName("/work/src/TeamSpeak/Client.cpp"), "Client");
    EXPECT_EQ(Base::UnitName("C:\\src\\TeamSpeak\\Server.cpp"), "Server");
    EXPECT_EQ(Base::UnitName("Channel"), "Channel");
}

TEST_F(CallCheck, LoggerWritesEachLevelWithChannelAndId) {
    Logger::LogError("Tralvonic", "e", 1);
    Logger::LogWarning("Tralvonic", "w", 2);
    Logger::LogInfo("Tralvonic", "i", 3);
    Logger::LogDebug("Other", "Jörg sagt grüß dich", 12);

    auto entries = sim.LogEntries();
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].Severity, LogLevel_ERROR);
    EXPECT_EQ(entries[1].Severity, LogLevel_WARNING);
    EXPECT_EQ(entries[2].Severity, LogLevel_INFO);
    EXPECT_EQ(entries[3].Severity, LogLevel_DEBUG);
    EXPECT_EQ(entries[1].LogId, 2u);
    EXPECT_EQ(entries[3].Channel, "Other");
    EXPECT_EQ(entries[3].Message, "Jörg sagt grüß dich");
}

} // namespace
} // namespace TeamSpeak
