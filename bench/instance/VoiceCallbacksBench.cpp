// One 20 ms round of the four voice callbacks, as the host calls the plugin's exports: 64
// talking players (playback and post-process each), the mixed output and the microphone.
// The process-wide allocation counter checks that nothing allocates after warm-up; the memcpy of the same
// samples is the yardstick the round is compared with. The share of a core is the time per
// round over the round's 20 ms.
//
// Of the 64 players 16 are on the phone with the user, 16 talk to him on the radio, 16 use a
// megaphone and 16 are muffled; the user relays every call and has an echo.

#include "../voice/AllocationCounter.h"
#include "Model/GameInstanceSettings.h"
#include "Model/MegaphoneCommunication.h"
#include "Model/PhoneCommunication.h"
#include "Model/PlayerState.h"
#include "Model/RadioCommunication.h"
#include "Model/SelfState.h"
#include "SimulatedClient.h"
#include "TeamSpeak/Base.h"
#include "core/Base.h"
#include "effects/VoiceDistortion.h"
#include "instance/GameInstance.h"
#include "plugin/Exports.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <vector>

namespace {

using namespace Tralvonic;

constexpr int Frames = 960;
constexpr int Players = 64;
constexpr unsigned int StereoSpeakers[] = {0x1, 0x2};

std::vector<short> Speech(int channels) {
    std::vector<short> block(static_cast<std::size_t>(Frames * channels));
    for (int f = 0; f < Frames; ++f) {
        const double t = f / 48000.0;
        const auto value = static_cast<short>(6000 * std::sin(2 * std::numbers::pi * 220 * t) +
                                              3000 * std::sin(2 * std::numbers::pi * 1330 * t));
        for (int c = 0; c < channels; ++c) {
            block[static_cast<std::size_t>(f * channels + c)] = value;
        }
    }
    return block;
}

// A server tab with the user and 64 players in game, the instance on it in game.
struct Session {
    Sim::SimulatedClient Client;
    Sim::SimServer& Tab;
    std::vector<TeamSpeak::anyID> Talkers;
    std::shared_ptr<GameInstance> Instance;

    Session() : Tab(Client.AddServer("bench-uid", "Bench")) {
        TeamSpeak::Base::SetFunctions(Client.Functions());
        std::string error;
        VoiceDistortion::Load(std::filesystem::path(TRALVONIC_VOICE_LIBRARY).parent_path().string(), error);
        const auto ingame = Tab.AddChannel("Ingame");
        Tab.AddOwnClient("Player", ingame);
        Model::GameInstanceSettings settings;
        settings.ServerUniqueIdentifier = "bench-uid";
        settings.ChannelId = ingame;
        settings.Name = "Player";
        for (int i = 0; i < Players; ++i) {
            Talkers.push_back(Tab.AddClient("P" + std::to_string(i), ingame));
        }
        Instance = std::make_shared<GameInstance>(settings);
        Instance->Initiate();
        for (int i = 0; i < Players; ++i) {
            Model::PlayerState player;
            player.Name = "P" + std::to_string(i);
            player.Position = TeamSpeak::TSVector(static_cast<float>(i % 8), static_cast<float>(i / 8), 0.0f);
            player.VoiceRange = 20;
            if (i % 4 == 3) {
                player.Muffle = Model::MuffleEffect{6};
            }
            Instance->OnPlayerStateUpdate(player);
        }
        for (int i = 0; i < Players; ++i) {
            const std::string name = "P" + std::to_string(i);
            if (i % 4 == 0) {
                Instance->OnPhoneCommunicationUpdate(
                    Model::PhoneCommunication{name, 15, 1.0f, true, {"Player"}});
            } else if (i % 4 == 1) {
                Model::RadioCommunication radio;
                radio.Name = name;
                radio.SenderRadioType = Model::RadioType::LongRange;
                radio.OwnRadioType = Model::RadioType::LongRange;
                radio.Direct = true;
                radio.Secondary = i % 8 == 1;
                Instance->OnRadioCommunicationUpdate(radio);
            } else if (i % 4 == 2) {
                Instance->OnMegaphoneCommunicationUpdate(
                    Model::MegaphoneCommunication{name, 50.0f, std::nullopt});
            }
        }
        Model::SelfState self;
        self.VoiceRange = 10;
        self.Echo = Model::EchoEffect{};
        Instance->OnSelfStateUpdate(self);
    }

    ~Session() {
        Instance->Reset(false, false);
        Instance->JoinThreads();
        Base::StopGameInstances();
    }
};

void VoiceRound(benchmark::State& state) {
    Session session;
    const auto handler = session.Tab.Handler();
    const auto mono = Speech(1);
    const auto stereo = Speech(2);
    std::vector<short> playback(mono.size());
    std::vector<short> post(stereo.size());
    std::vector<short> mixed(stereo.size());
    std::vector<short> captured(mono.size());
    const auto round = [&] {
        captured = mono;
        int edited = 2;
        ts3plugin_onEditCapturedVoiceDataEvent(handler, captured.data(), Frames, 1, &edited);
        std::fill(mixed.begin(), mixed.end(), short{0});
        for (const auto talker : session.Talkers) {
            std::copy(mono.begin(), mono.end(), playback.begin());
            ts3plugin_onEditPlaybackVoiceDataEvent(handler, talker, playback.data(), Frames, 1);
            std::copy(stereo.begin(), stereo.end(), post.begin());
            unsigned int mask = 0x3;
            ts3plugin_onEditPostProcessVoiceDataEvent(handler, talker, post.data(), Frames, 2, StereoSpeakers,
                                                      &mask);
        }
        unsigned int mask = 0x3;
        ts3plugin_onEditMixedPlaybackVoiceDataEvent(handler, mixed.data(), Frames, 2, StereoSpeakers, &mask);
        benchmark::DoNotOptimize(mixed.data());
    };
    // A self update off the audio path allocates (it publishes a new plan): counted to show
    // that the counter sees the plugin's allocations at all.
    const auto beforeUpdate = VoiceBench::AllocationCount();
    session.Instance->OnSelfStateUpdate(session.Instance->OwnState().State());
    state.counters["allocations_per_self_update"] =
        static_cast<double>(VoiceBench::AllocationCount() - beforeUpdate);
    // Warm-up: the working buffers grow to the block size, the queues fill to their delay.
    for (int i = 0; i < 50; ++i) {
        round();
    }
    // Counted in the whole process, the instance's own threads included.
    const auto beforeRounds = VoiceBench::AllocationCount();
    for (auto _ : state) {
        round();
    }
    state.counters["allocations_after_warmup"] =
        static_cast<double>(VoiceBench::AllocationCount() - beforeRounds);
    state.counters["core_share"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 0.020,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(VoiceRound)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

// The same samples as one round moves through the host's buffers, copied once.
void MemcpyOfARound(benchmark::State& state) {
    const std::size_t samples = static_cast<std::size_t>(Players) * Frames * 3 + Frames * 3;
    std::vector<short> from(samples, 1);
    std::vector<short> to(samples);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), samples * sizeof(short));
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(MemcpyOfARound)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace
