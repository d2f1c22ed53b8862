#include "instance/GameInstance.h"

#include "core/Base.h"
#include "core/Logger.h"
#include "instance/NumberText.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace Tralvonic {

namespace {

using Model::RadioType;
using TeamSpeak::TSVector;

constexpr LogChannel Log = LogChannel::GameInstance;

// A full range is divided into this many distortion steps: 0 is clear, 18 the range's end.
constexpr float RadioDistortionFactor = 18.0f;
// A tower search starts from the worst quality and keeps only towers that beat it.
constexpr float WorstTowerDistortion = 20.0f;

// The lines below are written per tower and per transmission on every recalculation; they
// are only built when someone reads them.
bool IsLogged(LogLevel level) {
    return Base::CurrentLogLevel() >= level;
}

} // namespace

bool GameInstance::TryCalculateRadio(const PlayerState& partner, const Model::RadioCommunication& radio,
                                     float& distortion, std::optional<TSVector> position) const {
    distortion = 0.0f;
    const auto partnerPosition = partner.Voice().Position;
    if (!partnerPosition) {
        // A placeholder or a player the game never placed: nowhere to send from.
        return false;
    }
    const TSVector receiver = position.value_or(_ownState.Position());
    const float distance = TSVector::Distance(receiver, *partnerPosition);
    const RadioType sender = radio.SenderRadioType;
    const RadioType own = radio.OwnRadioType;

    if (HasFlag(sender, RadioType::Distributed)) {
        float senderDistortion = 0.0f;
        if (!TryGetClosestRadioTower(*partnerPosition, sender, false, senderDistortion)) {
            Logger::LogExtensive("Sender has no tower in his range", Log);
            return false;
        }
        distortion = senderDistortion;
        if (IsLogged(LogLevel::Extensive)) {
            Logger::LogExtensive("Sender has a tower in his range, calcutated distortion is " +
                                     FloatText(senderDistortion),
                                 Log);
        }
        float receiverDistortion = 0.0f;
        if (!TryGetClosestRadioTower(receiver, own, true, receiverDistortion)) {
            Logger::LogExtensive("Receiver has no tower in his range", Log);
            return false;
        }
        distortion = std::floor(senderDistortion + receiverDistortion);
        if (IsLogged(LogLevel::Extensive)) {
            Logger::LogExtensive("Receiver has a tower in his range, calcutated distortion is " +
                                     FloatText(receiverDistortion) + " + " + FloatText(senderDistortion) +
                                     " = " + FloatText(distortion) + " (floored)",
                                 Log);
        }
        return true;
    }

    bool success = false;
    if (HasFlag(sender, RadioType::UltraShortRange)) {
        success = distance <= UltraShortRangeDistance();
    } else if (HasFlag(sender, RadioType::ShortRange)) {
        success = (distance <= ShortRangeDistance() && HasFlag(own, RadioType::ShortRange)) ||
                  distance <= UltraShortRangeDistance();
    } else if (HasFlag(sender, RadioType::LongRange)) {
        success = (distance <= LongRangeDistace() && HasFlag(own, RadioType::LongRange)) ||
                  (distance <= ShortRangeDistance() && HasFlag(own, RadioType::ShortRange)) ||
                  distance <= UltraShortRangeDistance();
    } else {
        return false;
    }
    distortion = CalculateRadioDistortion(own, distance);
    return success;
}

float GameInstance::CalculateRadioDistortion(RadioType radioType, float distance) const {
    float classDistance = 0.0f;
    if (HasFlag(radioType, RadioType::UltraShortRange)) {
        classDistance = UltraShortRangeDistance();
    } else if (HasFlag(radioType, RadioType::ShortRange)) {
        classDistance = ShortRangeDistance();
    } else if (HasFlag(radioType, RadioType::LongRange)) {
        classDistance = LongRangeDistace();
    } else {
        return 0.0f;
    }
    // Halves go to the even step, as the distortion steps were always rounded (nearbyint
    // follows the default rounding mode, round-half-to-even).
    return std::nearbyint(distance / (classDistance / RadioDistortionFactor));
}

bool GameInstance::TryGetClosestRadioTower(const TSVector& position, RadioType radioType,
                                           bool ignoreDistributed, float& distortion) const {
    distortion = WorstTowerDistortion;
    float maxDistance = 0.0f;
    std::string classText;
    if (HasFlag(radioType, RadioType::UltraShortRange)) {
        maxDistance = UltraShortRangeDistance();
        classText = "USR";
    } else if (HasFlag(radioType, RadioType::ShortRange)) {
        maxDistance = ShortRangeDistance();
        classText = "SR";
    } else if (HasFlag(radioType, RadioType::LongRange)) {
        maxDistance = LongRangeDistace();
        classText = "LR";
    } else {
        Logger::LogExtensive("No radio mode specified - no tower found", Log);
        return false;
    }
    if (IsLogged(LogLevel::Extensive)) {
        Logger::LogExtensive(classText + " detected - " + FloatText(maxDistance) + "m tower distance", Log);
    }
    if (!HasFlag(radioType, RadioType::Distributed) && !ignoreDistributed) {
        return false;
    }

    if (IsLogged(LogLevel::Extensive)) {
        Logger::LogExtensive("Searching closest tower, player position: " + position.ToString(), Log);
    }
    const bool isTraced = IsLogged(LogLevel::ExtensiveDebug);
    bool found = false;
    float best = WorstTowerDistortion;
    for (const auto& tower : *RadioTowers()) {
        const TSVector towerPosition = tower.Position();
        const float distance = TSVector::Distance(position, towerPosition);
        if (isTraced) {
            Logger::LogExtensiveDebug("Distance to tower (" + towerPosition.ToString() + ") is " +
                                          FloatText(distance) + "m, tower range is " +
                                          FloatText(tower.Range) + "m",
                                      Log);
        }
        if (!(distance < tower.Range && distance < maxDistance)) {
            continue;
        }
        // Unrounded: two towers of the same quality keep the earlier one.
        const float quality = distance / (std::min(tower.Range, maxDistance) / RadioDistortionFactor);
        if (isTraced) {
            Logger::LogExtensiveDebug("tower is in range, calculated distortion is " + FloatText(quality),
                                      Log);
        }
        if (quality < best) {
            best = quality;
            found = true;
            if (IsLogged(LogLevel::Extensive)) {
                Logger::LogExtensive("New \"best quality\" tower | Pos: " + towerPosition.ToString() +
                                         " | Range: " + FloatText(tower.Range) +
                                         " | Distortion: " + FloatText(quality),
                                     Log);
            }
        }
    }
    distortion = best;
    return found;
}

} // namespace Tralvonic
