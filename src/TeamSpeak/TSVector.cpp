#include "TeamSpeak/TSVector.h"

#include "TeamSpeak/ArgumentError.h"
#include "TeamSpeak/MathUtil.h"

#include <cmath>

namespace TeamSpeak {

namespace {

constexpr std::size_t ComponentCount = 3;
constexpr std::size_t HashFactor = 397;

// Summed in float like the rest of the arithmetic, rooted in double for the last bits.
float RootOf(float sumOfSquares) noexcept {
    return static_cast<float>(std::sqrt(static_cast<double>(sumOfSquares)));
}

ArgumentError BadIndex() {
    return ArgumentError("index", "Indices for TSVector run from 0 to 2, inclusive.");
}

} // namespace

TSVector::TSVector(std::span<const float> values) {
    if (values.size() != ComponentCount) {
        throw ArgumentError("values", "There must be three and only three input values for TSVector.");
    }
    X = values[0];
    Y = values[1];
    Z = values[2];
}

TSVector::TSVector(const float* values, std::size_t count) {
    if (values == nullptr) {
        throw ArgumentError::Missing("values");
    }
    *this = TSVector(std::span<const float>(values, count));
}

std::array<float, 3> TSVector::ToArray() const noexcept {
    return {X, Y, Z};
}

float& TSVector::operator[](int index) {
    switch (index) {
    case 0:
        return X;
    case 1:
        return Y;
    case 2:
        return Z;
    default:
        throw BadIndex();
    }
}

float TSVector::operator[](int index) const {
    return const_cast<TSVector&>(*this)[index];
}

bool TSVector::IsZero() const noexcept {
    return X == 0.0f && Y == 0.0f && Z == 0.0f;
}

bool TSVector::IsNormalized() const noexcept {
    return MathUtil::IsOne(LengthSquared());
}

float TSVector::Length() const noexcept {
    return RootOf(LengthSquared());
}

float TSVector::LengthSquared() const noexcept {
    return X * X + Y * Y + Z * Z;
}

float TSVector::DistanceToSquared(const TSVector& other) const noexcept {
    return DistanceSquared(*this, other);
}

float TSVector::Distance(const TSVector& left, const TSVector& right) noexcept {
    return RootOf(DistanceSquared(left, right));
}

void TSVector::Distance(const TSVector& left, const TSVector& right, float& result) noexcept {
    result = Distance(left, right);
}

float TSVector::DistanceSquared(const TSVector& left, const TSVector& right) noexcept {
    const float x = left.X - right.X;
    const float y = left.Y - right.Y;
    const float z = left.Z - right.Z;
    return x * x + y * y + z * z;
}

void TSVector::DistanceSquared(const TSVector& left, const TSVector& right, float& result) noexcept {
    result = DistanceSquared(left, right);
}

void TSVector::Normalize() noexcept {
    const float length = Length();
    if (MathUtil::IsZero(length)) {
        return;
    }
    const float inverse = 1.0f / length;
    X *= inverse;
    Y *= inverse;
    Z *= inverse;
}

TSVector TSVector::Normalize(const TSVector& value) noexcept {
    TSVector result = value;
    result.Normalize();
    return result;
}

void TSVector::Normalize(const TSVector& value, TSVector& result) noexcept {
    result = Normalize(value);
}

bool TSVector::Equals(const TSVector& other) const noexcept {
    return MathUtil::NearEqual(X, other.X) && MathUtil::NearEqual(Y, other.Y) &&
           MathUtil::NearEqual(Z, other.Z);
}

std::size_t TSVector::GetHashCode() const noexcept {
    const std::hash<float> hash;
    return ((hash(X) * HashFactor) ^ hash(Y)) * HashFactor ^ hash(Z);
}

bool operator==(const TSVector& left, const TSVector& right) noexcept {
    return left.Equals(right);
}

} // namespace TeamSpeak
