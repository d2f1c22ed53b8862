// Sounds of a game instance, seen from the simulated host's wave-file player: handles, the
// paced queue, the sound folders as the instance uses them, the refusals, and the reset.

#include "unit/instance/SoundFolders.h"

#include "SimulatedClient.h"

#include "Model/GameInstanceSettings.h"
#include "TeamSpeak/Base.h"
#include "core/Base.h"
#include "core/LogChannel.h"
#include "instance/GameInstance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Tralvonic::Test {
namespace {

using namespace std::chrono_literals;
using Sim::WavePlayback;

constexpr std::string_view PlayCall = "playWaveFileHandle";
constexpr std::string_view CloseCall = "closeWaveFileHandle";

Model::Sound MakeSound(std::string filename, std::string handle = "", bool isLoop = false) {
    return Model::Sound{std::move(filename), isLoop, std::move(handle)};
}

// A connected tab where the user already sits in the in-game channel under the in-game name,
// so Initiate makes the instance Ingame at once.
class InstanceSounds : public testing::Test {
protected:
    InstanceSounds()
        : tab(sim.AddServer("uid-sounds", "Sounds")), ingame(tab.AddChannel("Ingame")),
          me(tab.AddOwnClient("Player", ingame)) {
        TeamSpeak::Base::SetFunctions(sim.Functions());
        Configuration configuration;
        configuration.LogLevel = LogLevel::Extensive;
        // No pong comes in these tests: keep the keepalive from resetting a slow run.
        configuration.InstanceTimeout = 600;
        Base::SetConfiguration(configuration);
        Base::SetExtensionFilepath(folders.Root().string());
    }

    ~InstanceSounds() override {
        Base::StopGameInstances();
        Base::SetExtensionFilepath("");
        Base::SetConfiguration(Configuration{});
    }

    std::shared_ptr<GameInstance> Start(const std::string& soundPack = "default",
                                        std::vector<std::uint64_t> swissChannelIds = {}) {
        Model::GameInstanceSettings settings;
        settings.ServerUniqueIdentifier = "uid-sounds";
        settings.ChannelId = ingame;
        settings.Name = "Player";
        settings.SoundPack = soundPack;
        settings.SwissChannelIds = std::move(swissChannelIds);
        auto instance = std::make_shared<GameInstance>(settings);
        EXPECT_EQ(instance->Initiate(), Model::Error::OK);
        return instance;
    }

    std::vector<WavePlayback> Playbacks() const { return tab.Playbacks(); }

    // Waits until `count` sounds have started and are listed by the instance (its "Playing
    // sound" line comes after both); fails the test when they do not.
    bool WaitForPlaybacks(std::size_t count) {
        const bool arrived = sim.WaitFor([&] {
            const auto lines = AudioPlayerLines();
            const auto started = std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
                return line.rfind("Playing sound ", 0) == 0;
            });
            return tab.Playbacks().size() >= count && static_cast<std::size_t>(started) >= count;
        });
        EXPECT_TRUE(arrived) << "expected " << count << " playbacks, have " << tab.Playbacks().size();
        return arrived;
    }

    bool WaitForLine(const std::string& text) {
        const bool arrived = sim.WaitFor([&] { return HasLine(text); });
        EXPECT_TRUE(arrived) << "no log line: " << text;
        return arrived;
    }

    bool HasLine(const std::string& text) const {
        const auto lines = AudioPlayerLines();
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }

    std::vector<std::string> AudioPlayerLines() const {
        std::vector<std::string> lines;
        for (const auto& entry : sim.LogEntries()) {
            if (entry.LogId == static_cast<std::uint64_t>(LogChannel::AudioPlayer)) {
                lines.push_back(entry.Message);
            }
        }
        return lines;
    }

    std::string PathIn(const std::string& folder, const std::string& filename) const {
        return (folders.Root() / "Tralvonic" / folder / (filename + ".wav")).string();
    }

    SoundFolders folders;
    Sim::SimulatedClient sim;
    Sim::SimServer& tab;
    TeamSpeak::uint64 ingame;
    TeamSpeak::anyID me;
};

TEST_F(InstanceSounds, FixtureBringsTheInstanceIngameAtOnce) {
    const auto instance = Start();

    EXPECT_EQ(instance->InstanceState(), Model::GameInstanceState::Ingame);
    EXPECT_TRUE(Playbacks().empty());
}

TEST_F(InstanceSounds, ASecondSoundWithTheSameHandleStopsTheFirstBeforeItStarts) {
    folders.Add("default", "shot");
    folders.Add("default", "reload");
    const auto instance = Start();

    instance->PlaySound(MakeSound("shot", "gun", true));
    instance->PlaySound(MakeSound("reload", "gun", true));
    ASSERT_TRUE(WaitForPlaybacks(2));

    const auto playbacks = Playbacks();
    EXPECT_EQ(playbacks[0].Path, PathIn("default", "shot"));
    EXPECT_TRUE(playbacks[0].Closed);
    EXPECT_EQ(playbacks[1].Path, PathIn("default", "reload"));
    EXPECT_FALSE(playbacks[1].Closed);
    const auto plays = sim.Calls(PlayCall);
    const auto closes = sim.Calls(CloseCall);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(closes[0].NumberArgument(1), playbacks[0].Handle);
    EXPECT_LT(closes[0].Sequence, plays[1].Sequence);
    EXPECT_TRUE(
        HasLine("Stopping Sound shot | Handle: gun | WaveHandle: " + std::to_string(playbacks[0].Handle)));
}

TEST_F(InstanceSounds, WithoutAHandleTheFileNameStopsTheSound) {
    folders.Add("default", "alarm");
    folders.Add("default", "engine");
    const auto instance = Start();

    instance->PlaySound(MakeSound("alarm", "  ", true));
    instance->PlaySound(MakeSound("engine", "motor", true));
    ASSERT_TRUE(WaitForPlaybacks(2));
    instance->StopSound(MakeSound("alarm"));

    const auto playbacks = Playbacks();
    EXPECT_TRUE(playbacks[0].Loop);
    EXPECT_TRUE(playbacks[0].Closed);
    EXPECT_FALSE(playbacks[1].Closed);
    // Gone from the list: stopping again asks the host nothing.
    instance->StopSound(MakeSound("alarm"));
    instance->StopSound(MakeSound("", "nothing-by-this-name"));
    EXPECT_EQ(sim.CallCount(CloseCall), 1u);
}

TEST_F(InstanceSounds, StoppingASoundThatIsStillQueuedLetsItStartLater) {
    folders.Add("default", "step");
    const auto instance = Start();

    // Pacing holds the fourth sound back for at least 225 ms after the first started.
    for (const char* handle : {"one", "two", "three", "four"}) {
        instance->PlaySound(MakeSound("step", handle, true));
    }
    instance->StopSound(MakeSound("step", "four"));
    ASSERT_TRUE(WaitForPlaybacks(4));

    for (const auto& playback : Playbacks()) {
        EXPECT_FALSE(playback.Closed);
    }
    EXPECT_EQ(sim.CallCount(CloseCall), 0u);
    instance->StopSound(MakeSound("step", "four"));
    EXPECT_TRUE(Playbacks()[3].Closed);
}

TEST_F(InstanceSounds, FoldersAreTriedOverridePackDefault) {
    folders.Add("override", "shot");
    folders.Add("winter", "shot");
    folders.Add("winter", "reload");
    folders.Add("default", "reload");
    folders.Add("default", "click");
    const auto instance = Start("winter");

    instance->PlaySound(MakeSound("shot"));
    instance->PlaySound(MakeSound("reload"));
    instance->PlaySound(MakeSound("click"));
    ASSERT_TRUE(WaitForPlaybacks(3));

    const auto playbacks = Playbacks();
    EXPECT_EQ(playbacks[0].Path, PathIn("override", "shot"));
    EXPECT_EQ(playbacks[1].Path, PathIn("winter", "reload"));
    EXPECT_EQ(playbacks[2].Path, PathIn("default", "click"));
    EXPECT_FALSE(playbacks[0].Loop);
    const auto handle = [&](std::size_t index) {
        return std::to_string(playbacks[index].Handle);
    };
    EXPECT_TRUE(WaitForLine("Playing sound shot (override) with WaveHandle " + handle(0)));
    EXPECT_TRUE(WaitForLine("Playing sound reload (sound pack winter) with WaveHandle " + handle(1)));
    EXPECT_TRUE(WaitForLine("Playing sound click (default fallback) with WaveHandle " + handle(2)));
}

TEST_F(InstanceSounds, DefaultPackInAnyCaseDoesNotFallBack) {
    folders.Add("default", "shot");
    const auto instance = Start("DeFaUlT");
    // Where file names ignore case (Windows), the pack's folder is the default folder itself,
    // and the sound comes from the pack; elsewhere there is no such pack and no fallback.
    if (std::filesystem::exists(folders.Root() / "Tralvonic" / "DeFaUlT")) {
        instance->PlaySound(MakeSound("shot"));
        ASSERT_TRUE(WaitForPlaybacks(1));
        EXPECT_TRUE(WaitForLine("Playing sound shot (sound pack DeFaUlT) with WaveHandle " +
                                std::to_string(Playbacks()[0].Handle)));
        return;
    }

    instance->PlaySound(MakeSound("shot"));

    EXPECT_TRUE(WaitForLine("Could not find a wav file with the name 'shot'"));
    EXPECT_EQ(sim.CallCount(PlayCall), 0u);
    // Not recorded either: there is nothing to stop.
    instance->StopSound(MakeSound("shot"));
    EXPECT_EQ(sim.CallCount(CloseCall), 0u);
}

TEST_F(InstanceSounds, TenRequestsStartInOrderPacedApart) {
    struct Stamps {
        std::mutex Mutex;
        std::vector<std::chrono::steady_clock::time_point> Times;
    };
    const auto stamps = std::make_shared<Stamps>();
    // Runs on the sound thread right after each start, before the thread can take the next.
    sim.Record().SetObserver([stamps](const Sim::HostCall& call) {
        if (call.Function == PlayCall) {
            std::lock_guard lock(stamps->Mutex);
            stamps->Times.push_back(std::chrono::steady_clock::now());
        }
    });
    const auto instance = Start();

    for (int i = 0; i < 10; ++i) {
        folders.Add("default", "tick" + std::to_string(i));
        instance->PlaySound(MakeSound("tick" + std::to_string(i)));
    }
    ASSERT_TRUE(WaitForPlaybacks(10));

    const auto playbacks = Playbacks();
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(playbacks[i].Path, PathIn("default", "tick" + std::to_string(i)));
    }
    std::lock_guard lock(stamps->Mutex);
    const auto& times = stamps->Times;
    ASSERT_EQ(times.size(), 10u);
    // Each start is stamped after its own start time was taken and before the next one is,
    // so only these bounds hold whatever the scheduler does: any start lies more than 75 ms
    // after the one two places before, and the ten span more than eight full intervals.
    for (std::size_t i = 2; i < times.size(); ++i) {
        EXPECT_GT(times[i] - times[i - 2], 75ms) << "start " << i;
    }
    EXPECT_GT(times.back() - times.front(), 8 * 75ms);
}

TEST_F(InstanceSounds, OnlyAnIngameInstancePlaysAndBlankNamesAreDroppedSilently) {
    folders.Add("default", "early");
    folders.Add("default", "late");
    // The user starts in a swiss channel, so the instance is not Ingame.
    const auto swiss = tab.AddChannel("Swiss");
    tab.MoveClient(me, swiss);
    const auto instance = Start("default", {swiss});
    ASSERT_EQ(instance->InstanceState(), Model::GameInstanceState::InSwissChannel);

    instance->PlaySound(MakeSound("early"));
    // No plugin is attached to the simulated client, so the move reaches the instance here.
    tab.MoveClient(me, ingame);
    const TeamSpeak::Server server(tab.Handler());
    instance->OnChannelMove(TeamSpeak::Client(server, me), TeamSpeak::Channel(server, swiss),
                            TeamSpeak::Channel(server, ingame));
    ASSERT_EQ(instance->InstanceState(), Model::GameInstanceState::Ingame);
    instance->PlaySound(MakeSound(" \t"));
    instance->PlaySound(MakeSound("late"));

    // The queue keeps its order: had either request been queued, it would come first.
    ASSERT_TRUE(WaitForPlaybacks(1));
    const auto playbacks = Playbacks();
    ASSERT_EQ(playbacks.size(), 1u);
    EXPECT_EQ(playbacks[0].Path, PathIn("default", "late"));
    for (const auto& line : AudioPlayerLines()) {
        EXPECT_EQ(line.find("Could not"), std::string::npos) << line;
    }
}

TEST_F(InstanceSounds, NamesLeavingTheSoundFoldersAreRefusedAtOnce) {
    // Each would reach a real wave file through an unchecked join from override/ or default/.
    folders.Add("", "settings");
    SoundFolders::WriteWave(folders.Root() / "outside.wav");
    folders.Add("default", "fine");
    const auto instance = Start();

    const std::string absolute = (folders.Root() / "outside").string();
    for (const std::string& filename : {std::string("../settings"), std::string("weapons\\..\\..\\settings"),
                                        absolute, std::string("C:\\outside")}) {
        instance->PlaySound(MakeSound(filename));
        // Refused on the caller's thread, before anything is queued.
        const auto lines = AudioPlayerLines();
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.rfind("Refused to play sound '" + filename + "'", 0) == 0;
        })) << filename;
    }
    instance->PlaySound(MakeSound("fine"));

    ASSERT_TRUE(WaitForPlaybacks(1));
    const auto playbacks = Playbacks();
    ASSERT_EQ(playbacks.size(), 1u);
    EXPECT_EQ(playbacks[0].Path, PathIn("default", "fine"));
}

TEST_F(InstanceSounds, APackThatIsNotAFolderNameRefusesEverySound) {
    // With ".." as the pack, an unchecked join finds <plugin dir>/Tralvonic/../shot.wav.
    SoundFolders::WriteWave(folders.Root() / "shot.wav");
    folders.Add("override", "shot");
    const auto instance = Start("..");

    instance->PlaySound(MakeSound("shot"));
    EXPECT_TRUE(HasLine("Refused to play sound 'shot': sound pack '..' is not a plain folder name"));

    instance->Reset(false, false);
    EXPECT_EQ(sim.CallCount(PlayCall), 0u);
}

TEST_F(InstanceSounds, ResetClosesEveryWaveHandleAndForgetsTheSounds) {
    folders.Add("default", "rain");
    folders.Add("default", "wind");
    const auto instance = Start();
    instance->PlaySound(MakeSound("rain", "", true));
    instance->PlaySound(MakeSound("wind", "", true));
    ASSERT_TRUE(WaitForPlaybacks(2));

    instance->Reset(false, false);

    for (const auto& playback : Playbacks()) {
        EXPECT_TRUE(playback.Closed) << playback.Path;
    }
    EXPECT_EQ(sim.CallCount(CloseCall), 2u);
    instance->StopSound(MakeSound("rain"));
    EXPECT_EQ(sim.CallCount(CloseCall), 2u);
}

TEST_F(InstanceSounds, AGameCannotQueueOrKeepSoundsWithoutBound) {
    folders.Add("default", "shot");
    const auto instance = Start();
    const auto startedSounds = [&] {
        const auto lines = AudioPlayerLines();
        return static_cast<std::size_t>(
            std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return line.starts_with("Playing sound "); }));
    };

    constexpr std::size_t Requested = 80;
    for (std::size_t i = 0; i < Requested; ++i) {
        instance->PlaySound(MakeSound("shot", "h" + std::to_string(i)));
    }
    const auto lines = AudioPlayerLines();
    const auto refused = static_cast<std::size_t>(
        std::count(lines.begin(), lines.end(),
                   std::string("Could not queue sound shot, 64 sounds already wait to be played")));
    // The sound thread may have taken one or two meanwhile.
    EXPECT_GE(refused, Requested - 64 - 2);
    EXPECT_LE(refused, Requested - 64);
    const std::size_t queued = Requested - refused;
    ASSERT_TRUE(sim.WaitFor([&] { return startedSounds() == queued; }, std::chrono::seconds(30)));

    // Finished sounds are not tracked: past 64 listed ones the oldest is stopped for the newest.
    instance->PlaySound(MakeSound("shot", "late 1"));
    instance->PlaySound(MakeSound("shot", "late 2"));
    ASSERT_TRUE(sim.WaitFor([&] { return startedSounds() == queued + 2; }));
    const auto playbacks = Playbacks();
    ASSERT_EQ(playbacks.size(), queued + 2);
    const std::size_t stopped = queued + 2 - 64;
    for (std::size_t i = 0; i < playbacks.size(); ++i) {
        EXPECT_EQ(playbacks[i].Closed, i < stopped) << i;
    }
    EXPECT_TRUE(HasLine("More than 64 sounds are playing, stopping shot | Handle: h0"));
    EXPECT_EQ(sim.CallCount(CloseCall), stopped);
    // A stopped one is no longer listed: stopping it again asks nothing of the host.
    instance->StopSound(MakeSound("", "h0"));
    EXPECT_EQ(sim.CallCount(CloseCall), stopped);
}

} // namespace
} // namespace Tralvonic::Test
