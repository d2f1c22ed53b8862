// Game threads changing the communication lists and member lists at once while another
// thread reads them, as the audio side will: no update is lost, a list never holds a name
// twice, and every snapshot shows each entry in one state.

#include "unit/instance/IngameFixture.h"

#include <algorithm>
#include <atomic>
#include <set>
#include <thread>

namespace Tralvonic::Test {
namespace {

using Concurrency = IngameTest;

constexpr int Rounds = 200;

Model::RadioCommunication Transmission(const std::string& name, float volume) {
    Model::RadioCommunication radio;
    radio.Name = name;
    radio.SenderRadioType = Model::RadioType::ShortRange;
    radio.OwnRadioType = Model::RadioType::ShortRange;
    radio.Direct = true;
    radio.Volume = volume;
    // Tied to the volume, so a reader can tell a half-copied entry.
    radio.RelayedBy.assign(static_cast<std::size_t>(volume * 10.0f), "Relay");
    return radio;
}

TEST_F(Concurrency, MembersAddedFromTwoThreadsAreAllKept) {
    StartIngame();
    const auto add = [&](const std::string& prefix) {
        for (int index = 0; index < Rounds; ++index) {
            instance->OnAddRadioChannelMember({prefix + std::to_string(index), true});
        }
    };
    std::thread first(add, "First");
    std::thread second(add, "Second");
    first.join();
    second.join();

    const auto members = instance->PrimaryRadioChannelMembers();
    EXPECT_EQ(members->size(), 2u * Rounds);
    EXPECT_EQ(std::set<std::string>(members->begin(), members->end()).size(), 2u * Rounds);
    EXPECT_EQ(instance->PlayerStateCount(), 2u * Rounds);
}

TEST_F(Concurrency, SnapshotsHoldEveryNameOnceAndEachEntryWhole) {
    StartIngame();
    Join("Anna");
    instance->OnPlayerStateUpdate(Player("Anna", {100, 0, 0}, 10));
    std::atomic<bool> isDone{false};
    std::atomic<int> torn{0};
    std::atomic<int> doubled{0};
    std::thread reader([&] {
        while (!isDone.load()) {
            const auto radios = instance->RadioCommunications();
            std::set<std::string> names;
            for (const auto& radio : *radios) {
                names.insert(radio.Communication.Name);
                const auto expected = static_cast<std::size_t>(*radio.Communication.Volume * 10.0f);
                torn += radio.Communication.RelayedBy.size() == expected ? 0 : 1;
            }
            doubled += names.size() == radios->size() ? 0 : 1;
        }
    });
    const auto transmit = [&](float volume) {
        for (int index = 0; index < Rounds; ++index) {
            instance->OnRadioCommunicationUpdate(Transmission("Anna", volume));
            instance->OnRadioCommunicationUpdate(Transmission("Ben", volume));
            if (index % 10 == 0) {
                instance->OnStopRadioCommunication(Transmission("Ben", volume));
            }
        }
    };
    std::thread first(transmit, 0.5f);
    std::thread second(transmit, 1.5f);
    first.join();
    second.join();
    isDone = true;
    reader.join();

    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(doubled.load(), 0);
    StoredRadioCommunication anna;
    ASSERT_TRUE(instance->TryGetRadioCommunication("Anna", anna));
    EXPECT_TRUE(anna.Reception.InRange);
}

} // namespace
} // namespace Tralvonic::Test
