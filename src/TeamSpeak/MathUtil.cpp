#include "TeamSpeak/MathUtil.h"

#include "TeamSpeak/ArgumentError.h"

#include <bit>
#include <cmath>
#include <sstream>
#include <string>

namespace TeamSpeak {

namespace {

constexpr std::int32_t MaxUlpDistance = 4;

std::string BoundText(std::int32_t bound) {
    return std::to_string(bound);
}

// Floats in the current locale's general form, as the vector's text form writes them.
std::string BoundText(float bound) {
    std::ostringstream text;
    text << bound;
    return text.str();
}

template <typename T> ArgumentError ReversedRange(T min, T max) {
    return ArgumentError("min",
                         "min " + BoundText(min) + " should be less than or equal to max " + BoundText(max));
}

} // namespace

bool MathUtil::NearEqual(float a, float b) noexcept {
    if (IsZero(a - b)) {
        return true;
    }
    const auto aInt = std::bit_cast<std::int32_t>(a);
    const auto bInt = std::bit_cast<std::int32_t>(b);
    // Bit patterns only order like the floats themselves within one sign.
    if ((aInt < 0) != (bInt < 0)) {
        return false;
    }
    // Same sign, so the difference cannot overflow.
    const std::int32_t ulp = aInt > bInt ? aInt - bInt : bInt - aInt;
    return ulp <= MaxUlpDistance;
}

bool MathUtil::IsZero(float a) noexcept {
    return std::fabs(a) < ZeroTolerance;
}

bool MathUtil::IsOne(float a) noexcept {
    return IsZero(a - 1.0f);
}

bool MathUtil::WithinEpsilon(float a, float b, float epsilon) noexcept {
    const float difference = a - b;
    return -epsilon <= difference && difference <= epsilon;
}

float MathUtil::Clamp(float value, float min, float max) noexcept {
    return value < min ? min : value > max ? max : value;
}

std::int32_t MathUtil::Clamp(std::int32_t value, std::int32_t min, std::int32_t max) noexcept {
    return value < min ? min : value > max ? max : value;
}

double MathUtil::Lerp(double from, double to, double amount) noexcept {
    return (1.0 - amount) * from + amount * to;
}

float MathUtil::Lerp(float from, float to, float amount) noexcept {
    return (1.0f - amount) * from + amount * to;
}

std::uint8_t MathUtil::Lerp(std::uint8_t from, std::uint8_t to, float amount) noexcept {
    return static_cast<std::uint8_t>(Lerp(static_cast<float>(from), static_cast<float>(to), amount));
}

float MathUtil::SmoothStep(float amount) noexcept {
    if (amount <= 0.0f) {
        return 0.0f;
    }
    if (amount >= 1.0f) {
        return 1.0f;
    }
    return amount * amount * (3.0f - 2.0f * amount);
}

float MathUtil::SmootherStep(float amount) noexcept {
    if (amount <= 0.0f) {
        return 0.0f;
    }
    if (amount >= 1.0f) {
        return 1.0f;
    }
    return amount * amount * amount * (amount * (amount * 6.0f - 15.0f) + 10.0f);
}

float MathUtil::Mod(float value, float modulo) noexcept {
    if (modulo == 0.0f) {
        return value;
    }
    return std::fmod(value, modulo);
}

float MathUtil::Mod2PI(float value) noexcept {
    return Mod(value, TwoPi);
}

std::int32_t MathUtil::Wrap(std::int32_t value, std::int32_t min, std::int32_t max) {
    if (min > max) {
        throw ReversedRange(min, max);
    }
    // In 64 bits: a full-width range or a value far outside it would overflow 32-bit
    // arithmetic. The result lies in [min, max], so it fits back.
    const std::int64_t range = static_cast<std::int64_t>(max) - min + 1;
    std::int64_t wide = value;
    if (wide < min) {
        wide += range * ((min - wide) / range + 1);
    }
    return static_cast<std::int32_t>(min + (wide - min) % range);
}

float MathUtil::Wrap(float value, float min, float max) {
    if (NearEqual(min, max)) {
        return min;
    }
    const double minWide = min;
    const double maxWide = max;
    const double valueWide = value;
    if (minWide > maxWide) {
        throw ReversedRange(min, max);
    }
    const double range = maxWide - minWide;
    return static_cast<float>(minWide + (valueWide - minWide) -
                              range * std::floor((valueWide - minWide) / range));
}

float MathUtil::RevolutionsToDegrees(float revolution) noexcept {
    return revolution * 360.0f;
}
float MathUtil::RevolutionsToRadians(float revolution) noexcept {
    return revolution * TwoPi;
}
float MathUtil::RevolutionsToGradians(float revolution) noexcept {
    return revolution * 400.0f;
}
float MathUtil::DegreesToRevolutions(float degree) noexcept {
    return degree / 360.0f;
}
float MathUtil::DegreesToRadians(float degree) noexcept {
    return degree * (Pi / 180.0f);
}
float MathUtil::RadiansToRevolutions(float radian) noexcept {
    return radian / TwoPi;
}
float MathUtil::RadiansToGradians(float radian) noexcept {
    return radian * (200.0f / Pi);
}
float MathUtil::GradiansToRevolutions(float gradian) noexcept {
    return gradian / 400.0f;
}
float MathUtil::GradiansToDegrees(float gradian) noexcept {
    return gradian * (9.0f / 10.0f);
}
float MathUtil::GradiansToRadians(float gradian) noexcept {
    return gradian * (Pi / 200.0f);
}
float MathUtil::RadiansToDegrees(float radian) noexcept {
    return radian * (180.0f / Pi);
}

} // namespace TeamSpeak
