#include "TeamSpeak/TSVector.h"

#include "TeamSpeak/MathUtil.h"

namespace TeamSpeak {

TSVector TSVector::Lerp(const TSVector& start, const TSVector& end, float amount) noexcept {
    return {MathUtil::Lerp(start.X, end.X, amount), MathUtil::Lerp(start.Y, end.Y, amount),
            MathUtil::Lerp(start.Z, end.Z, amount)};
}

void TSVector::Lerp(const TSVector& start, const TSVector& end, float amount, TSVector& result) noexcept {
    result = Lerp(start, end, amount);
}

TSVector TSVector::SmoothStep(const TSVector& start, const TSVector& end, float amount) noexcept {
    return Lerp(start, end, MathUtil::SmoothStep(amount));
}

void TSVector::SmoothStep(const TSVector& start, const TSVector& end, float amount,
                          TSVector& result) noexcept {
    result = SmoothStep(start, end, amount);
}

TSVector TSVector::Barycentric(const TSVector& value1, const TSVector& value2, const TSVector& value3,
                               float amount1, float amount2) noexcept {
    return value1 + amount1 * (value2 - value1) + amount2 * (value3 - value1);
}

void TSVector::Barycentric(const TSVector& value1, const TSVector& value2, const TSVector& value3,
                           float amount1, float amount2, TSVector& result) noexcept {
    result = Barycentric(value1, value2, value3, amount1, amount2);
}

TSVector TSVector::Hermite(const TSVector& value1, const TSVector& tangent1, const TSVector& value2,
                           const TSVector& tangent2, float amount) noexcept {
    const float squared = amount * amount;
    const float cubed = amount * squared;
    const float weight1 = 2.0f * cubed - 3.0f * squared + 1.0f;
    const float weight2 = -2.0f * cubed + 3.0f * squared;
    const float tangentWeight1 = cubed - 2.0f * squared + amount;
    const float tangentWeight2 = cubed - squared;
    return value1 * weight1 + value2 * weight2 + tangent1 * tangentWeight1 + tangent2 * tangentWeight2;
}

void TSVector::Hermite(const TSVector& value1, const TSVector& tangent1, const TSVector& value2,
                       const TSVector& tangent2, float amount, TSVector& result) noexcept {
    result = Hermite(value1, tangent1, value2, tangent2, amount);
}

TSVector TSVector::CatmullRom(const TSVector& value1, const TSVector& value2, const TSVector& value3,
                              const TSVector& value4, float amount) noexcept {
    const float squared = amount * amount;
    const float cubed = amount * squared;
    const TSVector linear = -value1 + value3;
    const TSVector quadratic = 2.0f * value1 - 5.0f * value2 + 4.0f * value3 - value4;
    const TSVector cubic = -value1 + 3.0f * value2 - 3.0f * value3 + value4;
    return 0.5f * (2.0f * value2 + linear * amount + quadratic * squared + cubic * cubed);
}

void TSVector::CatmullRom(const TSVector& value1, const TSVector& value2, const TSVector& value3,
                          const TSVector& value4, float amount, TSVector& result) noexcept {
    result = CatmullRom(value1, value2, value3, value4, amount);
}

} // namespace TeamSpeak
