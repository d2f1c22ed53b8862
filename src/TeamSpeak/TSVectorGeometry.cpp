#include "TeamSpeak/TSVector.h"

#include "TeamSpeak/ArgumentError.h"
#include "TeamSpeak/MathUtil.h"

namespace TeamSpeak {

namespace {

void CheckLengths(std::size_t destinationLength, std::size_t sourceLength) {
    if (destinationLength < sourceLength) {
        throw ArgumentError(
            "destination",
            "The destination array must be of same length or larger length than the source array.");
    }
}

void CheckPresent(const TSVector* destination, const TSVector* source) {
    if (source == nullptr) {
        throw ArgumentError::Missing("source");
    }
    if (destination == nullptr) {
        throw ArgumentError::Missing("destination");
    }
}

} // namespace

float TSVector::Dot(const TSVector& left, const TSVector& right) noexcept {
    return left.X * right.X + left.Y * right.Y + left.Z * right.Z;
}

void TSVector::Dot(const TSVector& left, const TSVector& right, float& result) noexcept {
    result = Dot(left, right);
}

TSVector TSVector::Cross(const TSVector& left, const TSVector& right) noexcept {
    return {left.Y * right.Z - left.Z * right.Y, left.Z * right.X - left.X * right.Z,
            left.X * right.Y - left.Y * right.X};
}

void TSVector::Cross(const TSVector& left, const TSVector& right, TSVector& result) noexcept {
    result = Cross(left, right);
}

TSVector TSVector::Reflect(const TSVector& vector, const TSVector& normal) noexcept {
    return vector - 2.0f * Dot(vector, normal) * normal;
}

void TSVector::Reflect(const TSVector& vector, const TSVector& normal, TSVector& result) noexcept {
    result = Reflect(vector, normal);
}

bool TSVector::NearEqual(const TSVector& left, const TSVector& right, const TSVector& epsilon) noexcept {
    return MathUtil::WithinEpsilon(left.X, right.X, epsilon.X) &&
           MathUtil::WithinEpsilon(left.Y, right.Y, epsilon.Y) &&
           MathUtil::WithinEpsilon(left.Z, right.Z, epsilon.Z);
}

void TSVector::NearEqual(const TSVector& left, const TSVector& right, const TSVector& epsilon,
                         bool& result) noexcept {
    result = NearEqual(left, right, epsilon);
}

void TSVector::Orthogonalize(std::span<TSVector> destination, std::span<const TSVector> source) {
    CheckLengths(destination.size(), source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        // Read before writing: destination may be the source itself.
        TSVector vector = source[i];
        for (std::size_t j = 0; j < i; ++j) {
            const TSVector& done = destination[j];
            vector = vector - (Dot(done, vector) / Dot(done, done)) * done;
        }
        destination[i] = vector;
    }
}

void TSVector::Orthonormalize(std::span<TSVector> destination, std::span<const TSVector> source) {
    CheckLengths(destination.size(), source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        TSVector vector = source[i];
        for (std::size_t j = 0; j < i; ++j) {
            vector = vector - Dot(destination[j], vector) * destination[j];
        }
        vector.Normalize();
        destination[i] = vector;
    }
}

void TSVector::Orthogonalize(TSVector* destination, std::size_t destinationLength, const TSVector* source,
                             std::size_t sourceLength) {
    CheckPresent(destination, source);
    Orthogonalize(std::span<TSVector>(destination, destinationLength),
                  std::span<const TSVector>(source, sourceLength));
}

void TSVector::Orthonormalize(TSVector* destination, std::size_t destinationLength, const TSVector* source,
                              std::size_t sourceLength) {
    CheckPresent(destination, source);
    Orthonormalize(std::span<TSVector>(destination, destinationLength),
                   std::span<const TSVector>(source, sourceLength));
}

} // namespace TeamSpeak
