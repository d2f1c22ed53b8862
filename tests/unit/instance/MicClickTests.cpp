// Radio microphone clicks: which of the six sounds each transmission start and stop queues,
// under each MicClickMode and the game's PlayMicClick, as the host's wave player sees them.

#include "unit/instance/IngameFixture.h"
#include "unit/instance/SoundFolders.h"

#include <filesystem>

namespace Tralvonic::Test {
namespace {

using Model::RadioType;

class MicClicks : public IngameTest {
protected:
    MicClicks() {
        Base::SetExtensionFilepath(folders.Root().string());
        for (const char* click : {"selfOnMicClick", "selfOffMicClick", "onMicClick", "offMicClick",
                                  "onSecMicClick", "offSecMicClick"}) {
            folders.Add("default", click);
        }
    }
    ~MicClicks() override { Base::SetExtensionFilepath(""); }

    static void SetMode(MicClickMode mode) {
        Configuration configuration = *Base::CurrentConfiguration();
        configuration.MicClickMode = mode;
        Base::SetConfiguration(configuration);
    }

    static Model::RadioCommunication Transmission(std::string name, bool playMicClick,
                                                  bool secondary = false) {
        Model::RadioCommunication radio;
        radio.Name = std::move(name);
        radio.SenderRadioType = RadioType::ShortRange;
        radio.OwnRadioType = RadioType::ShortRange;
        radio.Direct = true;
        radio.PlayMicClick = playMicClick;
        radio.Secondary = secondary;
        return radio;
    }

    // A start and a stop of the user's and of Anna's transmission.
    void TransmitAndStop(bool playMicClick, bool secondary = false) {
        instance->OnRadioCommunicationUpdate(Transmission("Player", playMicClick, secondary));
        instance->OnStopRadioCommunication(Transmission("Player", playMicClick, secondary));
        instance->OnRadioCommunicationUpdate(Transmission("Anna", playMicClick, secondary));
        instance->OnStopRadioCommunication(Transmission("Anna", playMicClick, secondary));
    }

    // The file names the host was asked to play, in order, once there are `count`.
    std::vector<std::string> PlayedOnce(std::size_t count) const {
        EXPECT_TRUE(sim.WaitFor([&] { return tab.Playbacks().size() >= count; })) << tab.Playbacks().size();
        std::vector<std::string> names;
        for (const auto& playback : tab.Playbacks()) {
            names.push_back(std::filesystem::path(playback.Path).stem().string());
        }
        return names;
    }

    SoundFolders folders;
};

TEST_F(MicClicks, EachModeAndRequestQueuesTheClicksOfItsRow) {
    StartIngame();
    Join("Anna");
    instance->OnPlayerStateUpdate(Player("Anna", {1000, 0, 0}, 10));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));

    SetMode(MicClickMode::Never);
    TransmitAndStop(true);
    SetMode(MicClickMode::ScriptDependent);
    TransmitAndStop(false);
    TransmitAndStop(true);
    SetMode(MicClickMode::Always);
    TransmitAndStop(false, true);

    // Queued in order, so the clicks that were never asked for would stand among these.
    EXPECT_EQ(PlayedOnce(8), (std::vector<std::string>{"selfOnMicClick", "selfOffMicClick", "onMicClick",
                                                       "offMicClick", "selfOnMicClick", "selfOffMicClick",
                                                       "onSecMicClick", "offSecMicClick"}));
    // One handle for all: every click cut the previous one short.
    EXPECT_EQ(sim.CallCount("closeWaveFileHandle"), 7u);
}

TEST_F(MicClicks, OthersClickOnlyWhenTheirTransmissionReachesTheUserDirectly) {
    SetMode(MicClickMode::Always);
    StartIngame();
    Join("Anna");
    instance->OnPlayerStateUpdate(Player("Anna", {5000, 0, 0}, 10));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));
    instance->OnRadioCommunicationUpdate(Transmission("Anna", true));
    instance->OnStopRadioCommunication(Transmission("Anna", true));
    auto indirect = Transmission("Anna", true);
    indirect.Direct = false;
    instance->OnPlayerStateUpdate(Player("Anna", {1000, 0, 0}, 10));
    instance->OnRadioCommunicationUpdate(indirect);
    instance->OnStopRadioCommunication(indirect);
    instance->OnRadioCommunicationUpdate(Transmission("Player", false));

    EXPECT_EQ(PlayedOnce(1), std::vector<std::string>{"selfOnMicClick"});
}

} // namespace
} // namespace Tralvonic::Test
