// The user's meta data string shared with other plugins: reading, setting and removing
// one <key>value</key> element while leaving the rest of the text alone.

#include "HostObjectFixture.h"

#include <gmock/gmock.h>

namespace TeamSpeak {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using testing::StartsWith;

class ClientMetaData : public HostObjects {
protected:
    void SetOwnMetaData(std::string text) { tab.SetClientVariable(me, CLIENT_META_DATA, std::move(text)); }
    std::string OwnMetaData() const { return tab.Own().MetaData(); }
    // The text of the last meta data write.
    std::string Written() const {
        const auto write = sim.LastCall("setClientSelfVariableAsString");
        return write ? write->Argument(2) : "<none>";
    }
};

TEST_F(ClientMetaData, GetFindsTheElementsValueOnAnyClient) {
    SetOwnMetaData("abc<Tralvonic>3.1.2</Tralvonic>");
    EXPECT_EQ(Me().GetMetaData("Tralvonic"), "3.1.2");
    tab.SetClientVariable(bob, CLIENT_META_DATA, "<other>y</other><Tralvonic></Tralvonic>");
    EXPECT_EQ(Bob().GetMetaData("other"), "y");
    EXPECT_EQ(Bob().GetMetaData("Tralvonic"), "");

    SetOwnMetaData("abc");
    EXPECT_EQ(Me().GetMetaData("Tralvonic"), "");
    SetOwnMetaData("<Tralvonic>3.1.2");
    EXPECT_EQ(Me().GetMetaData("Tralvonic"), "");
    SetOwnMetaData("</Tralvonic><Tralvonic>1</Tralvonic>");
    EXPECT_EQ(Me().GetMetaData("Tralvonic"), "1");
    EXPECT_THAT(CheckLines(), IsEmpty());
}

TEST_F(ClientMetaData, GetGivesEmptyTextWithALineWhenTheHostCannotRead) {
    SetOwnMetaData("<Tralvonic>1</Tralvonic>");
    sim.FailCall("getClientVariableAsString", Error::ClientInvalidId);
    EXPECT_EQ(Me().GetMetaData("Tralvonic"), "");
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ClientInvalidId (512) at Client:")));
}

TEST_F(ClientMetaData, SetMovesTheElementToTheEndAndFlushes) {
    SetOwnMetaData("<Tralvonic>1</Tralvonic><other>y</other>");
    Me().SetMetaData("Tralvonic", "x");
    EXPECT_EQ(Written(), "<other>y</other><Tralvonic>x</Tralvonic>");
    EXPECT_EQ(Count("flushClientSelfUpdates"), 1u);
    EXPECT_EQ(OwnMetaData(), "<other>y</other><Tralvonic>x</Tralvonic>");

    SetOwnMetaData("abc");
    Me().SetMetaData("Tralvonic", "3.1.2");
    EXPECT_EQ(OwnMetaData(), "abc<Tralvonic>3.1.2</Tralvonic>");
}

TEST_F(ClientMetaData, RemoveWritesTheTextBackEvenWithoutTheElement) {
    SetOwnMetaData("a<Tralvonic>1</Tralvonic>b");
    Me().RemoveMetaData("Tralvonic");
    EXPECT_EQ(OwnMetaData(), "ab");

    SetOwnMetaData("abc<other>y</other>");
    Me().RemoveMetaData("Tralvonic");
    EXPECT_EQ(Written(), "abc<other>y</other>");
    EXPECT_EQ(Count("setClientSelfVariableAsString"), 2u);
    EXPECT_EQ(Count("flushClientSelfUpdates"), 2u);
}

TEST_F(ClientMetaData, NothingIsWrittenWhenTheTextCannotBeReadAndNothingFlushedWhenRefused) {
    sim.FailCall("getClientVariableAsString", Error::ClientInvalidId);
    Me().SetMetaData("Tralvonic", "x");
    EXPECT_EQ(Count("setClientSelfVariableAsString"), 0u);

    sim.FailCall("setClientSelfVariableAsString", Error::ParameterInvalid);
    Me().RemoveMetaData("Tralvonic");
    EXPECT_EQ(Count("flushClientSelfUpdates"), 0u);
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ClientInvalidId (512) at Client:"),
                                          StartsWith("ParameterInvalid (1538) at Client:")));
}

} // namespace
} // namespace TeamSpeak
