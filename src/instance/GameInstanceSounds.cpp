#include "instance/GameInstance.h"

#include "Model/Text.h"
#include "core/Base.h"
#include "core/LastResort.h"
#include "core/Logger.h"
#include "instance/SoundFiles.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <string_view>
#include <utility>

namespace Tralvonic {

namespace {

using SoundList = std::vector<std::shared_ptr<PlayingSound>>;

constexpr std::chrono::milliseconds SoundStartIntervalMs{75};
constexpr std::chrono::milliseconds SoundQueuePassMs{10};

SoundList Snapshot(std::mutex& mutex, const SoundList& sounds) {
    std::lock_guard lock(mutex);
    return sounds;
}

std::shared_ptr<PlayingSound> FirstWithHandle(const SoundList& sounds, std::string_view handle) {
    const auto found = std::find_if(sounds.begin(), sounds.end(),
                                    [&](const auto& sound) { return sound->Sound.Handle == handle; });
    return found != sounds.end() ? *found : nullptr;
}

// Wave handles belong to the tab of the user's own client; absent while it is not known.
std::optional<TeamSpeak::Server> OwnServer(const std::optional<TeamSpeak::Client>& client) {
    if (!client || client->IsZero()) {
        return std::nullopt;
    }
    return client->Server();
}

std::string PlayingText(const Model::Sound& sound, SoundFolder folder, std::string_view soundPack,
                        TeamSpeak::uint64 waveHandle) {
    const std::string handle = std::to_string(waveHandle);
    switch (folder) {
    case SoundFolder::Override:
        return "Playing sound " + sound.Filename + " (override) with WaveHandle " + handle;
    case SoundFolder::SoundPack:
        return "Playing sound " + sound.Filename + " (sound pack " + std::string(soundPack) +
               ") with WaveHandle " + handle;
    case SoundFolder::DefaultFallback:
        break;
    }
    return "Playing sound " + sound.Filename + " (default fallback) with WaveHandle " + handle;
}

} // namespace

void GameInstance::PlaySound(Model::Sound sound) {
    if (IsBlank(sound.Filename) || InstanceState() != Model::GameInstanceState::Ingame) {
        return;
    }
    // Refused here, on the game's thread, so a hostile name never takes a place in the queue.
    if (const auto refusal = SoundRefusal(SoundPack(), sound.Filename)) {
        Logger::LogError(*refusal, LogChannel::AudioPlayer);
        return;
    }
    if (IsBlank(sound.Handle)) {
        sound.Handle = sound.Filename;
    }
    _soundQueue.Push(std::make_shared<PlayingSound>(PlayingSound{std::move(sound), std::nullopt}));
}

void GameInstance::StopSound(Model::Sound sound) {
    if (IsBlank(sound.Handle) && !IsBlank(sound.Filename)) {
        sound.Handle = sound.Filename;
    }
    if (IsBlank(sound.Handle)) {
        return;
    }
    const auto playing = FirstWithHandle(Snapshot(_soundsMutex, _sounds), sound.Handle);
    if (!playing) {
        return;
    }
    if (playing->WaveHandle) {
        Logger::LogExtensive("Stopping Sound " + playing->Sound.Filename +
                                 " | Handle: " + playing->Sound.Handle +
                                 " | WaveHandle: " + std::to_string(*playing->WaveHandle),
                             LogChannel::AudioPlayer);
        if (const auto server = OwnServer(Client())) {
            server->StopSound(*playing->WaveHandle);
        }
    }
    std::lock_guard lock(_soundsMutex);
    std::erase(_sounds, playing);
}

void GameInstance::PlaySoundInternal(const std::shared_ptr<PlayingSound>& sound) {
    if (!sound) {
        Logger::LogError("Should play a sound, but sound was null?!", LogChannel::AudioPlayer);
        return;
    }
    // The host disconnected while the sound waited: nowhere to play it.
    const auto server = OwnServer(Client());
    if (!server) {
        return;
    }
    if (FirstWithHandle(Snapshot(_soundsMutex, _sounds), sound->Sound.Handle)) {
        StopSound(sound->Sound);
    }

    const SoundFile file = FindSoundFile(Base::ExtensionFilepath(), SoundPack(), sound->Sound.Filename);
    if (file.Status == SoundFileStatus::NotFound) {
        Logger::LogError("Could not find a wav file with the name '" + sound->Sound.Filename + "'",
                         LogChannel::AudioPlayer);
        return;
    }
    if (file.Status != SoundFileStatus::Found) {
        Logger::LogError(SoundRefusal(SoundPack(), sound->Sound.Filename).value_or(sound->Sound.Filename),
                         LogChannel::AudioPlayer);
        return;
    }

    const TeamSpeak::uint64 waveHandle = server->PlaySound(file.Path, sound->Sound.IsLoop);
    sound->WaveHandle = waveHandle;
    {
        std::lock_guard lock(_soundsMutex);
        if (std::find(_sounds.begin(), _sounds.end(), sound) == _sounds.end()) {
            _sounds.push_back(sound);
        }
    }
    // Logged once the sound is listed, so whoever reads the line can already stop it.
    Logger::LogExtensive(PlayingText(sound->Sound, file.Folder, EffectiveSoundPack(SoundPack()), waveHandle),
                         LogChannel::AudioPlayer);
}

void GameInstance::HandleSoundQueue() {
    while (!_isResetted.load()) {
        const Clock::time_point now = Clock::now();
        const Clock::time_point lastStart{Clock::duration(_lastStartTime.load())};
        if (!_soundQueue.IsEmpty() && now > lastStart + SoundStartIntervalMs) {
            _lastStartTime.store(now.time_since_epoch().count());
            if (const auto sound = _soundQueue.TryPop()) {
                // One failed sound must not end the thread and silence every later one.
                try {
                    PlaySoundInternal(sound);
                } catch (...) {
                    Logger::LogError(DescribeCurrentException(), LogChannel::AudioPlayer);
                }
            }
        }
        std::this_thread::sleep_for(SoundQueuePassMs);
    }
}

void GameInstance::StopSounds() {
    SoundList stopped;
    {
        std::lock_guard lock(_soundsMutex);
        stopped.swap(_sounds);
    }
    if (const auto server = OwnServer(Client())) {
        for (const auto& sound : stopped) {
            if (sound->WaveHandle) {
                server->StopSound(*sound->WaveHandle);
            }
        }
    }
    _soundQueue.Clear();
}

} // namespace Tralvonic
