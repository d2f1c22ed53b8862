// What radio and phone cost a bulk update: 256 player records and the user's own state
// applied to one game instance in the simulated client (one full recalculation: distances,
// bindings, positions, whisper list). Argument 0: no communications. 1: a radio channel of 32
// members and 8 phone calls (half of them relayed); this must stay within 10 % of 0, since
// communications are looked up by name, never by scanning the players. 2: as 1, and 32 other
// players transmitting (half through relays) while the user transmits to the 32 members:
// every transmission and member costs host calls of its own (the partner's mute state, one
// more whisper target), so this one measures what heavy radio traffic adds. Logging is at
// Info, as the plugin runs, so the debug lines are filtered, not skipped.

#include "SimulatedClient.h"

#include "Model/GameInstanceSettings.h"
#include "TeamSpeak/Base.h"
#include "core/Base.h"
#include "instance/GameInstance.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace Tralvonic;

constexpr int Players = 256;
constexpr int RadioPartners = 32;
constexpr int ChannelMembers = 32;
constexpr int PhoneCalls = 8;

std::string PlayerName(int index) {
    return "Player" + std::to_string(index);
}

// Players on a spiral from 1 to about 130 units away, so that some are in each other's
// voice ranges, most are not, and all are within radio range.
std::vector<Model::PlayerState> PlayerRecords() {
    std::vector<Model::PlayerState> records;
    for (int index = 0; index < Players; ++index) {
        const double angle = index * 0.7;
        const double distance = 1.0 + index * 0.5;
        Model::PlayerState record;
        record.Name = PlayerName(index);
        record.Position = TeamSpeak::TSVector(static_cast<float>(distance * std::cos(angle)),
                                              static_cast<float>(distance * std::sin(angle)), 0.0f);
        record.VoiceRange = 15.0f;
        records.push_back(record);
    }
    return records;
}

void RegisterMembersAndCalls(GameInstance& instance) {
    std::vector<std::string> members;
    for (int index = 0; index < ChannelMembers; ++index) {
        members.push_back(PlayerName(200 + index));
    }
    instance.OnUpdateRadioChannelMembers({members, true});
    for (int index = 0; index < PhoneCalls; ++index) {
        Model::PhoneCommunication phone;
        phone.Name = PlayerName(50 + index);
        phone.SignalStrength = 15;
        phone.Direct = index % 2 == 0;
        phone.RelayedBy = {PlayerName(4), PlayerName(5)};
        instance.OnPhoneCommunicationUpdate(phone);
    }
}

void RegisterTransmissions(GameInstance& instance) {
    for (int index = 0; index < RadioPartners; ++index) {
        Model::RadioCommunication radio;
        radio.Name = PlayerName(100 + index);
        radio.SenderRadioType = Model::RadioType::ShortRange;
        radio.OwnRadioType = Model::RadioType::ShortRange;
        radio.Direct = index % 2 == 0;
        radio.RelayedBy = {PlayerName(1), PlayerName(2), PlayerName(3)};
        instance.OnRadioCommunicationUpdate(radio);
    }
    Model::RadioCommunication own;
    own.Name = "Player";
    own.SenderRadioType = Model::RadioType::LongRange;
    own.OwnRadioType = Model::RadioType::LongRange;
    instance.OnRadioCommunicationUpdate(own);
}

void BulkUpdateOf256Players(benchmark::State& state) {
    Sim::SimulatedClient sim;
    auto& tab = sim.AddServer("uid-bench", "Bench");
    const auto ingame = tab.AddChannel("Ingame");
    tab.AddOwnClient("Player", ingame);
    for (int index = 0; index < Players; ++index) {
        tab.AddClient(PlayerName(index), ingame);
    }
    TeamSpeak::Base::SetFunctions(sim.Functions());
    Configuration configuration;
    configuration.InstanceTimeout = 600;
    Base::SetConfiguration(configuration);

    Model::GameInstanceSettings settings;
    settings.ServerUniqueIdentifier = "uid-bench";
    settings.ChannelId = ingame;
    settings.Name = "Player";
    auto instance = std::make_shared<GameInstance>(settings);
    if (instance->Initiate() != Model::Error::OK) {
        state.SkipWithError("the instance did not start");
        return;
    }
    const auto records = PlayerRecords();
    for (const auto& record : records) {
        instance->OnPlayerStateUpdate(record);
    }
    if (state.range(0) >= 1) {
        RegisterMembersAndCalls(*instance);
    }
    if (state.range(0) >= 2) {
        RegisterTransmissions(*instance);
    }
    Model::BulkUpdate bulk{records, Model::SelfState{}};
    bulk.SelfState->VoiceRange = 20.0f;

    for (auto _ : state) {
        // As the dispatch applies a bulk update.
        instance->OnBulkUpdate(bulk);
        state.PauseTiming();
        // The simulated host records every call; a growing record would be measured too.
        sim.Record().Clear();
        state.ResumeTiming();
    }

    instance->Reset(false, false);
    instance->JoinThreads();
    Base::StopGameInstances();
    Base::SetConfiguration(Configuration{});
}
BENCHMARK(BulkUpdateOf256Players)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

} // namespace
