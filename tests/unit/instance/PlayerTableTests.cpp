// The player table: what an update replaces and what it keeps, the bounds on the game's
// values, the muffle intensities and removals the voice-effect library hears of.

#include "unit/instance/IngameFixture.h"

#include "core/Platform.h"
#include "effects/VoiceDistortion.h"
#include "support/LoadedLibrary.h"

#include <filesystem>

namespace Tralvonic::Test {
namespace {

const std::string LibraryFile(Platform::EffectLibraryFileName());

// A private copy of the stand-in library: its record is this file's alone, whatever other
// tests load. Never overwritten, since a repeated run may still have it mapped.
std::filesystem::path LibraryDirectory() {
    const auto directory = std::filesystem::path(testing::TempDir()) / "tralvonic-player-table-effects";
    std::filesystem::create_directories(directory);
    std::filesystem::copy_file(std::filesystem::path(TEST_EFFECTS_DIRECTORY) / "complete" / LibraryFile,
                               directory / LibraryFile, std::filesystem::copy_options::skip_existing);
    return directory;
}

// The calls the stand-in library recorded since the process loaded it.
std::string LibraryCalls() {
    const auto path = LibraryDirectory() / LibraryFile;
    if (!Testing::IsLibraryLoaded(path)) {
        return "<not loaded>";
    }
    return Testing::CallLoadedTextFunction(path, "TestEffectCalls").value_or("<no record>");
}

class PlayerTable : public IngameTest {
protected:
    ~PlayerTable() override {
        // Other tests expect the library unloaded; a failed load unpublishes it.
        std::string error;
        VoiceDistortion::Load((LibraryDirectory() / "nowhere").string(), error);
    }

    void LoadLibrary() {
        std::string error;
        ASSERT_TRUE(VoiceDistortion::Load(LibraryDirectory().string(), error)) << error;
        _callsBefore = LibraryCalls().size();
    }

    std::string NewLibraryCalls() const { return LibraryCalls().substr(_callsBefore); }

    static Model::PlayerState Muffled(const std::string& name, std::int32_t intensity) {
        auto player = Player(name, {1, 0, 0}, 10);
        player.Muffle = Model::MuffleEffect{intensity};
        return player;
    }

private:
    std::size_t _callsBefore = 0;
};

TEST_F(PlayerTable, UpdateReplacesTheGamesValuesAndKeepsWhatTheInstanceDerived) {
    StartIngame();
    const anyID anna = Join("Anna");
    instance->OnPlayerStateUpdate(Player("Anna", {3, 4, 0}, 10));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));
    const auto stored = Stored("Anna");

    auto update = Player("Anna", {0, 8, 0}, 20);
    update.VolumeOverride = 0.5f;
    update.IsAlive = false;
    instance->OnPlayerStateUpdate(update);

    EXPECT_EQ(Stored("Anna"), stored);
    EXPECT_EQ(stored->Voice(), PlayerVoice::From(update));
    ASSERT_TRUE(stored->Client().has_value());
    EXPECT_EQ(stored->Client()->Id(), anna);
    EXPECT_FLOAT_EQ(stored->Distance(), 5.0f);
    EXPECT_EQ(instance->PlayerStateCount(), 1u);
}

TEST_F(PlayerTable, OutOfBoundsValuesDropTheWholeUpdate) {
    StartIngame();
    const auto accepted = [&](Model::PlayerState player) {
        player.Name = "Anna";
        instance->OnPlayerStateUpdate(player);
        return Stored("Anna")->Voice() == PlayerVoice::From(player);
    };
    auto player = Player("Anna", {1, 0, 0}, 10);
    instance->OnPlayerStateUpdate(player);

    for (const float volume : {0.0f, 1.6f}) {
        player.VolumeOverride = volume;
        EXPECT_TRUE(accepted(player)) << volume;
    }
    for (const float volume : {1.7f, 1.6001f, -0.01f}) {
        player.VolumeOverride = volume;
        EXPECT_FALSE(accepted(player)) << volume;
    }
    player.VolumeOverride.reset();
    for (const std::int32_t intensity : {0, 10}) {
        player.Muffle = Model::MuffleEffect{intensity};
        EXPECT_TRUE(accepted(player)) << intensity;
    }
    for (const std::int32_t intensity : {11, -1}) {
        player.Muffle = Model::MuffleEffect{intensity};
        EXPECT_FALSE(accepted(player)) << intensity;
    }

    // A rejected first update leaves no entry behind; blank names are dropped too.
    auto loud = Player("Loud", {1, 0, 0}, 10);
    loud.VolumeOverride = 2.0f;
    instance->OnPlayerStateUpdate(loud);
    instance->OnPlayerStateUpdate(Player(" \t", {1, 0, 0}, 10));
    EXPECT_EQ(instance->PlayerStateCount(), 1u);
    EXPECT_TRUE(HasLogLine("Player name on an update was empty"));
}

TEST_F(PlayerTable, LibraryHearsNewOrChangedMuffleIntensitiesAndRemovals) {
    StartIngame();
    LoadLibrary();

    instance->OnPlayerStateUpdate(Muffled("Anna", 4));
    instance->OnPlayerStateUpdate(Muffled("Anna", 4));
    instance->OnPlayerStateUpdate(Muffled("Anna", 7));
    instance->OnPlayerStateUpdate(Player("Anna", {1, 0, 0}, 10));
    instance->OnPlayerStateUpdate(Muffled("Anna", 7));
    instance->OnPlayerStateUpdate(Player("Ben", {1, 0, 0}, 10));
    instance->OnPlayerRemove(Player("Anna", {}, 0));
    instance->OnPlayerRemove(Player("Anna", {}, 0));
    instance->OnPlayerRemove(Player("Nobody", {}, 0));

    EXPECT_EQ(NewLibraryCalls(), "SetMuffleIntensity Anna 4\n"
                                 "SetMuffleIntensity Anna 7\n"
                                 "SetMuffleIntensity Anna 7\n"
                                 "RemovePlayer Anna\n");
}

TEST_F(PlayerTable, RemovalForgetsThePlayerButLeavesTheHostAlone) {
    StartIngame();
    const anyID anna = Join("Anna");
    instance->OnPlayerStateUpdate(Player("Anna", {2, 0, 0}, 10));
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));
    const auto requests = WhisperRequests();

    instance->OnPlayerRemove(Player("Anna", {}, 0));
    instance->OnPlayerRemove(Player("", {}, 0));

    std::shared_ptr<PlayerState> found;
    EXPECT_FALSE(instance->TryGetPlayerState("Anna", found));
    EXPECT_TRUE(instance->PlayerStates().empty());
    ExpectVector(tab.PositionOf(anna), {2, 0, 0});
    EXPECT_EQ(WhisperRequests(), requests);
    EXPECT_TRUE(HasLogLine("PlayerRemove was triggered but the playername was empty."));

    // The next recalculation no longer sees him.
    instance->OnSelfStateUpdate(Self({0, 0, 0}, 10));
    EXPECT_EQ(WhisperClients(), std::vector<anyID>{});
}

} // namespace
} // namespace Tralvonic::Test
