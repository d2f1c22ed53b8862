#include "TeamSpeak/TSVector.h"

namespace TeamSpeak {

TSVector TSVector::Add(const TSVector& left, const TSVector& right) noexcept {
    return {left.X + right.X, left.Y + right.Y, left.Z + right.Z};
}

void TSVector::Add(const TSVector& left, const TSVector& right, TSVector& result) noexcept {
    result = Add(left, right);
}

TSVector TSVector::Add(const TSVector& left, float right) noexcept {
    return {left.X + right, left.Y + right, left.Z + right};
}

void TSVector::Add(const TSVector& left, float right, TSVector& result) noexcept {
    result = Add(left, right);
}

TSVector TSVector::Subtract(const TSVector& left, const TSVector& right) noexcept {
    return {left.X - right.X, left.Y - right.Y, left.Z - right.Z};
}

void TSVector::Subtract(const TSVector& left, const TSVector& right, TSVector& result) noexcept {
    result = Subtract(left, right);
}

TSVector TSVector::Subtract(const TSVector& left, float right) noexcept {
    return {left.X - right, left.Y - right, left.Z - right};
}

void TSVector::Subtract(const TSVector& left, float right, TSVector& result) noexcept {
    result = Subtract(left, right);
}

TSVector TSVector::Subtract(float left, const TSVector& right) noexcept {
    return {left - right.X, left - right.Y, left - right.Z};
}

void TSVector::Subtract(float left, const TSVector& right, TSVector& result) noexcept {
    result = Subtract(left, right);
}

TSVector TSVector::Multiply(const TSVector& value, float scale) noexcept {
    return {value.X * scale, value.Y * scale, value.Z * scale};
}

void TSVector::Multiply(const TSVector& value, float scale, TSVector& result) noexcept {
    result = Multiply(value, scale);
}

TSVector TSVector::Multiply(const TSVector& left, const TSVector& right) noexcept {
    return {left.X * right.X, left.Y * right.Y, left.Z * right.Z};
}

void TSVector::Multiply(const TSVector& left, const TSVector& right, TSVector& result) noexcept {
    result = Multiply(left, right);
}

TSVector TSVector::Divide(const TSVector& value, float scale) noexcept {
    return {value.X / scale, value.Y / scale, value.Z / scale};
}

void TSVector::Divide(const TSVector& value, float scale, TSVector& result) noexcept {
    result = Divide(value, scale);
}

TSVector TSVector::Divide(float scale, const TSVector& value) noexcept {
    return {scale / value.X, scale / value.Y, scale / value.Z};
}

void TSVector::Divide(float scale, const TSVector& value, TSVector& result) noexcept {
    result = Divide(scale, value);
}

TSVector TSVector::Negate(const TSVector& value) noexcept {
    return {-value.X, -value.Y, -value.Z};
}

void TSVector::Negate(const TSVector& value, TSVector& result) noexcept {
    result = Negate(value);
}

TSVector TSVector::Max(const TSVector& left, const TSVector& right) noexcept {
    return {left.X > right.X ? left.X : right.X, left.Y > right.Y ? left.Y : right.Y,
            left.Z > right.Z ? left.Z : right.Z};
}

void TSVector::Max(const TSVector& left, const TSVector& right, TSVector& result) noexcept {
    result = Max(left, right);
}

TSVector TSVector::Min(const TSVector& left, const TSVector& right) noexcept {
    return {left.X < right.X ? left.X : right.X, left.Y < right.Y ? left.Y : right.Y,
            left.Z < right.Z ? left.Z : right.Z};
}

void TSVector::Min(const TSVector& left, const TSVector& right, TSVector& result) noexcept {
    result = Min(left, right);
}

TSVector TSVector::Clamp(const TSVector& value, const TSVector& min, const TSVector& max) noexcept {
    // Deliberately not Max(min, Min(value, max)): ties there would take other operands.
    const auto clamp = [](float component, float low, float high) {
        component = component > high ? high : component;
        return component < low ? low : component;
    };
    return {clamp(value.X, min.X, max.X), clamp(value.Y, min.Y, max.Y), clamp(value.Z, min.Z, max.Z)};
}

void TSVector::Clamp(const TSVector& value, const TSVector& min, const TSVector& max,
                     TSVector& result) noexcept {
    result = Clamp(value, min, max);
}

TSVector operator+(const TSVector& left, const TSVector& right) noexcept {
    return TSVector::Add(left, right);
}
TSVector operator+(const TSVector& value, float scalar) noexcept {
    return TSVector::Add(value, scalar);
}
TSVector operator+(float scalar, const TSVector& value) noexcept {
    return TSVector::Add(value, scalar);
}
TSVector operator+(const TSVector& value) noexcept {
    return value;
}

TSVector operator-(const TSVector& left, const TSVector& right) noexcept {
    return TSVector::Subtract(left, right);
}
TSVector operator-(const TSVector& value, float scalar) noexcept {
    return TSVector::Subtract(value, scalar);
}
TSVector operator-(float scalar, const TSVector& value) noexcept {
    return TSVector::Subtract(scalar, value);
}
TSVector operator-(const TSVector& value) noexcept {
    return TSVector::Negate(value);
}

TSVector operator*(const TSVector& value, float scale) noexcept {
    return TSVector::Multiply(value, scale);
}
TSVector operator*(float scale, const TSVector& value) noexcept {
    return TSVector::Multiply(value, scale);
}
TSVector operator*(const TSVector& left, const TSVector& right) noexcept {
    return TSVector::Multiply(left, right);
}

TSVector operator/(const TSVector& value, float scale) noexcept {
    return TSVector::Divide(value, scale);
}
TSVector operator/(float scale, const TSVector& value) noexcept {
    return TSVector::Divide(scale, value);
}
TSVector operator/(const TSVector& left, const TSVector& right) noexcept {
    return {left.X / right.X, left.Y / right.Y, left.Z / right.Z};
}

} // namespace TeamSpeak
