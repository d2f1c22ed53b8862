// The user's whisper list: both lists reach the host zero-terminated (or as none), and the
// plugin log shows what was sent.

#include "HostObjectFixture.h"

#include "core/Base.h"
#include "core/Configuration.h"

#include <gmock/gmock.h>

namespace TeamSpeak {
namespace {

using testing::ElementsAre;
using testing::Optional;
using testing::StartsWith;

class ClientWhisperTargets : public HostObjects {
protected:
    ClientWhisperTargets() {
        Tralvonic::Configuration configuration;
        configuration.LogLevel = Tralvonic::LogLevel::Extensive;
        Tralvonic::Base::SetConfiguration(configuration);
    }
    ~ClientWhisperTargets() override { Tralvonic::Base::SetConfiguration(Tralvonic::Configuration{}); }

    std::vector<std::string> PluginLines() const {
        std::vector<std::string> lines;
        for (const auto& entry : sim.LogEntries()) {
            if (entry.Channel == "Tralvonic") {
                EXPECT_EQ(entry.LogId, 1u) << "the wrapper's log channel";
                lines.push_back(entry.Message);
            }
        }
        return lines;
    }
    std::vector<std::string> SentLists() const {
        const auto call = sim.LastCall("requestClientSetWhisperList");
        return call ? std::vector<std::string>{call->Argument(2), call->Argument(3)}
                    : std::vector<std::string>{};
    }
};

TEST_F(ClientWhisperTargets, ListsAreSentZeroTerminatedAndLogged) {
    Me().SetWhisperTargets(std::nullopt, std::vector<anyID>{5, 7});

    EXPECT_THAT(PluginLines(), ElementsAre("SetWhisperTargets | Channel: null | Clients: 5, 7, 0"));
    EXPECT_THAT(SentLists(), ElementsAre("<null>", "[5, 7, 0]"));
    EXPECT_THAT(sim.LastCall("requestClientSetWhisperList")->NumberArgument(1), me);
}

TEST_F(ClientWhisperTargets, AnEmptyListBecomesTheTerminatorAloneAndATerminatedOneStaysAsItIs) {
    Me().SetWhisperTargets(std::vector<uint64>{ingame, 0}, std::vector<anyID>{});

    EXPECT_THAT(SentLists(), ElementsAre("[" + std::to_string(ingame) + ", 0]", "[0]"));
    EXPECT_THAT(PluginLines(),
                ElementsAre("SetWhisperTargets | Channel: " + std::to_string(ingame) + ", 0 | Clients: 0"));
    auto whispers = tab.Whispers(me);
    ASSERT_TRUE(whispers);
    EXPECT_THAT(whispers->Channels, Optional(ElementsAre(ingame)));
    EXPECT_THAT(whispers->Clients, Optional(testing::IsEmpty()));
}

TEST_F(ClientWhisperTargets, BothListsMissingClearTheListAndAHostRefusalIsLogged) {
    Me().SetWhisperTargets(std::nullopt, std::nullopt);
    EXPECT_THAT(SentLists(), ElementsAre("<null>", "<null>"));
    EXPECT_THAT(PluginLines(), ElementsAre("SetWhisperTargets | Channel: null | Clients: null"));

    Client(server, 77).SetWhisperTargets(std::nullopt, std::vector<anyID>{bob});
    EXPECT_THAT(CheckLines(), ElementsAre(StartsWith("ClientInvalidId (512) at Client:")));
}

} // namespace
} // namespace TeamSpeak
