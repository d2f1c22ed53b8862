// ClientObject: reading their states, which writes reach the host (only the user's own, and
// which of those flush), 3D placement, the chat tab, and the fallbacks on host failures.

#include "HostObjectFixture.h"

#include <gmock/gmock.h>

namespace TeamSpeak {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using testing::StartsWith;

class ClientObject : public HostObjects {
protected:
    // Every function called since the last ForgetCalls, except the own-client lookup.
    std::vector<std::string> CallsBesidesLookup() const {
        std::vector<std::string> functions;
        for (const auto& call : sim.Record().All()) {
            if (call.Function != "getClientID") {
                functions.push_back(call.Function);
            }
        }
        return functions;
    }
};

TEST_F(ClientObject, OwnStateWritesFlushAsTheHostNeedsThem) {
    Me().SetName("Agent");
    EXPECT_EQ(Count("flushClientSelfUpdates"), 1u);
    EXPECT_EQ(Me().Name(), "Agent");

    Me().SetIsMicrophoneMuted(true);
    Me().SetIsMicrophoneEnabled(false);
    Me().SetIsSoundMuted(true);
    EXPECT_EQ(Count("flushClientSelfUpdates"), 4u);
    EXPECT_TRUE(Me().IsMicrophoneMuted());
    EXPECT_FALSE(Me().IsMicrophoneEnabled());
    EXPECT_TRUE(tab.Own().IsInputDeactivated());
    EXPECT_TRUE(Me().IsSoundMuted());

    Me().SetVad(true);
    Me().SetIsLocallyMuted(true);
    Me().Set3DPosition(TSVector(1, 2, 3));
    Me().SetWhisperTargets(std::nullopt, std::vector<anyID>{bob});
    EXPECT_EQ(Count("flushClientSelfUpdates"), 4u);
    EXPECT_TRUE(Me().Vad());
}

TEST_F(ClientObject, ARefusedNameIsNotFlushedButRefusedFlagsAre) {
    sim.FailCall("setClientSelfVariableAsString", Error::ParameterInvalid);
    Me().SetName("Agent");
    EXPECT_EQ(Count("flushClientSelfUpdates"), 0u);
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ParameterInvalid (1538) at Client:")));

    sim.FailCall("setClientSelfVariableAsInt", Error::ParameterInvalid);
    Me().SetIsMicrophoneMuted(true);
    EXPECT_EQ(Count("flushClientSelfUpdates"), 1u);
    EXPECT_EQ(CheckLines().size(), 1u) << "flag writes are not checked";
}

TEST_F(ClientObject, OwnWritesOnAnyOtherClientNeverReachTheHost) {
    ForgetCalls();
    const Client others[] = {Bob(), Client(server, 0), Client(std::nullopt, me), Client::Zero};
    for (const Client& client : others) {
        client.SetName("Agent");
        client.SetVad(true);
        client.SetIsMicrophoneMuted(true);
        client.SetIsMicrophoneEnabled(false);
        client.SetIsSoundMuted(true);
        client.SetMetaData("Tralvonic", "x");
        client.RemoveMetaData("Tralvonic");
        client.PrintMessage("hello");
        EXPECT_FALSE(client.Vad());
        EXPECT_EQ(client.IsLocal(), false);
    }
    EXPECT_THAT(CallsBesidesLookup(), IsEmpty());
    EXPECT_EQ(tab.Own().Nickname(), "Me");
    EXPECT_THAT(CheckLines(), IsEmpty());
}

TEST_F(ClientObject, MicrophoneCountsAsEnabledWhenTheHostCannotSay) {
    sim.FailCall("getClientVariableAsInt", Error::ClientInvalidId);
    EXPECT_TRUE(Bob().IsMicrophoneEnabled());
    tab.SetClientVariable(bob, CLIENT_INPUT_DEACTIVATED, "1");
    EXPECT_FALSE(Bob().IsMicrophoneEnabled());
    sim.FailCall("getClientVariableAsInt", Error::ClientInvalidId);
    EXPECT_FALSE(Bob().IsTalking());
    EXPECT_THAT(CheckLines(), IsEmpty());
}

TEST_F(ClientObject, AnyClientCanBeMutedForTheUser) {
    tab.SetClientVariable(bob, CLIENT_FLAG_TALKING, "1");
    EXPECT_TRUE(Bob().IsTalking());
    EXPECT_FALSE(Bob().IsLocallyMuted());

    Bob().SetIsLocallyMuted(true);
    EXPECT_EQ(sim.LastCall("requestMuteClients")->Argument(1), "[" + std::to_string(bob) + ", 0]");
    EXPECT_TRUE(Bob().IsLocallyMuted());
    Bob().SetIsLocallyMuted(false);
    EXPECT_FALSE(Bob().IsLocallyMuted());
}

TEST_F(ClientObject, FailedReadsFallBackWithOneLineEach) {
    sim.FailCall("getClientVariableAsString", Error::ClientInvalidId);
    EXPECT_EQ(Bob().Name(), "");
    sim.FailCall("getClientVariableAsUInt64", Error::ClientInvalidId);
    EXPECT_EQ(Bob().DatabaseId(), 0u);
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ClientInvalidId (512) at Client:"),
                                          StartsWith("ClientInvalidId (512) at Client:")));

    ForgetCalls();
    EXPECT_EQ(Client(server, 0).Name(), "");
    EXPECT_TRUE(sim.Record().All().empty());
}

TEST_F(ClientObject, VadIsReadIgnoringCaseAndOnlyForTheUser) {
    tab.SetPreProcessorValue("vad", "TRUE");
    EXPECT_TRUE(Me().Vad());
    tab.SetPreProcessorValue("vad", "yes");
    EXPECT_FALSE(Me().Vad());

    Me().SetVad(false);
    EXPECT_EQ(tab.PreProcessorValue("vad"), "false");
    sim.FailCall("getPreProcessorConfigValue", Error::ParameterInvalid);
    EXPECT_FALSE(Me().Vad());
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ParameterInvalid (1538) at Client:")));
}

TEST_F(ClientObject, TheUserIsTheListenerAndOthersAreVoiceSources) {
    Me().Set3DListenerPosition(TSVector(1, 2, 3), TSVector::ForwardLH, TSVector::Up);
    auto listener = tab.Listener();
    EXPECT_EQ(TSVector(listener.Position.x, listener.Position.y, listener.Position.z), TSVector(1, 2, 3));
    EXPECT_EQ(listener.Forward.z, 1.0f);
    EXPECT_EQ(listener.Up.y, 1.0f);

    Me().Set3DPosition(TSVector(4, 5, 6));
    listener = tab.Listener();
    EXPECT_EQ(listener.Position.x, 4.0f);
    EXPECT_EQ(listener.Forward.z, 0.0f);

    Bob().Set3DListenerPosition(TSVector(7, 8, 9), TSVector::ForwardLH, TSVector::Up);
    ASSERT_TRUE(tab.PositionOf(bob));
    EXPECT_EQ(tab.PositionOf(bob)->z, 9.0f);
    Bob().Reset3DPosition();
    EXPECT_EQ(tab.PositionOf(bob)->z, 0.0f);
    Me().Reset3DPosition();
    EXPECT_EQ(tab.Listener().Position.x, 0.0f);
    EXPECT_EQ(tab.Listener().Up.y, 0.0f);
    EXPECT_EQ(Count("systemset3DListenerAttributes"), 3u);
    EXPECT_EQ(Count("channelset3DAttributes"), 2u);

    Client(server, 77).Set3DPosition(TSVector::One);
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ClientInvalidId (512) at Client:")));
}

TEST_F(ClientObject, ChatTabGetsTheMessageWithLinksAsBBCode) {
    Me().PrintMessage("see https://example.org now");
    // Three bytes per character: the whole text must still arrive.
    std::string euros;
    for (int i = 0; i < 400; ++i) {
        euros += "€";
    }
    Me().PrintMessage(euros);
    EXPECT_THAT(sim.ChatMessages(), ElementsAre("see [URL]https://example.org[/URL] now", euros));
}

} // namespace
} // namespace TeamSpeak
