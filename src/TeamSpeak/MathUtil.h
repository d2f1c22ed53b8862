#pragma once
// Scalar helpers behind TSVector: tolerant float comparison, interpolation, clamping,
// wrapping and angle conversions. Pure functions; safe on any thread, audio path included
// (only Wrap can throw, on a reversed range).

#include <cstdint>

namespace TeamSpeak {

class MathUtil {
public:
    static constexpr float ZeroTolerance = 1e-6f;
    static constexpr float Pi = 3.1415927f;
    static constexpr float TwoPi = 6.2831855f;
    static constexpr float PiOverTwo = 1.5707964f;
    static constexpr float PiOverFour = 0.7853982f;

    // Equal when the difference is below ZeroTolerance, or when both have the same sign and
    // lie at most four units in the last place apart.
    static bool NearEqual(float a, float b) noexcept;
    static bool IsZero(float a) noexcept;
    static bool IsOne(float a) noexcept;
    // -epsilon <= a - b <= epsilon.
    static bool WithinEpsilon(float a, float b, float epsilon) noexcept;

    // min when value < min, else max when value > max, else value.
    static float Clamp(float value, float min, float max) noexcept;
    static std::int32_t Clamp(std::int32_t value, std::int32_t min, std::int32_t max) noexcept;

    // (1 - amount) * from + amount * to.
    static double Lerp(double from, double to, double amount) noexcept;
    static float Lerp(float from, float to, float amount) noexcept;
    // Computed in float and truncated to a byte.
    static std::uint8_t Lerp(std::uint8_t from, std::uint8_t to, float amount) noexcept;

    // 0 at or below 0, 1 at or above 1, a smooth curve in between.
    static float SmoothStep(float amount) noexcept;
    static float SmootherStep(float amount) noexcept;

    // Floating remainder with the sign of value; value itself when modulo is 0.
    static float Mod(float value, float modulo) noexcept;
    static float Mod2PI(float value) noexcept;

    // Folds value into [min, max]. Throws ArgumentError("min") when min > max.
    static std::int32_t Wrap(std::int32_t value, std::int32_t min, std::int32_t max);
    // Folds value into [min, max) (max itself maps to min); min when the bounds are equal.
    static float Wrap(float value, float min, float max);

    static float RevolutionsToDegrees(float revolution) noexcept;
    static float RevolutionsToRadians(float revolution) noexcept;
    static float RevolutionsToGradians(float revolution) noexcept;
    static float DegreesToRevolutions(float degree) noexcept;
    static float DegreesToRadians(float degree) noexcept;
    static float RadiansToRevolutions(float radian) noexcept;
    static float RadiansToGradians(float radian) noexcept;
    static float GradiansToRevolutions(float gradian) noexcept;
    static float GradiansToDegrees(float gradian) noexcept;
    static float GradiansToRadians(float gradian) noexcept;
    static float RadiansToDegrees(float radian) noexcept;
};

} // namespace TeamSpeak
