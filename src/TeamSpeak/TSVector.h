#pragma once
// The system's 3D vector: player and tower positions in game units, the offsets and
// distances computed from them, and the vector the host's 3D audio functions read in place.
// A plain value type without state; safe on any thread.

#include "TeamSpeak/sdk/HostTypes.h"

#include <array>
#include <cstddef>
#include <functional>
#include <iosfwd>
#include <locale>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

namespace TeamSpeak {

struct TSVector {
    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;

    static const TSVector Zero;
    static const TSVector One;
    static const TSVector UnitX;
    static const TSVector UnitY;
    static const TSVector UnitZ;
    static const TSVector Up;
    static const TSVector Down;
    static const TSVector Left;
    static const TSVector Right;
    static const TSVector ForwardRH;
    static const TSVector ForwardLH;
    static const TSVector BackwardRH;
    static const TSVector BackwardLH;

    // --- TSVector.cpp: construction, components, length, equality ---
    constexpr TSVector() noexcept = default;
    explicit constexpr TSVector(float value) noexcept : X(value), Y(value), Z(value) {}
    constexpr TSVector(float x, float y, float z) noexcept : X(x), Y(y), Z(z) {}
    // Exactly three values in the order X, Y, Z; otherwise ArgumentError("values").
    explicit TSVector(std::span<const float> values);
    // As above; a null list is ArgumentError("values") too.
    TSVector(const float* values, std::size_t count);

    std::array<float, 3> ToArray() const noexcept;
    // 0, 1, 2 for X, Y, Z; any other index is ArgumentError("index").
    float& operator[](int index);
    float operator[](int index) const;

    // The host's own vector type; the layout is pinned below.
    const TS3_VECTOR* HostVector() const noexcept { return reinterpret_cast<const TS3_VECTOR*>(this); }

    // All three components exactly 0.
    bool IsZero() const noexcept;
    bool IsNormalized() const noexcept;
    float Length() const noexcept;
    float LengthSquared() const noexcept;
    float DistanceToSquared(const TSVector& other) const noexcept;
    static float Distance(const TSVector& left, const TSVector& right) noexcept;
    static void Distance(const TSVector& left, const TSVector& right, float& result) noexcept;
    static float DistanceSquared(const TSVector& left, const TSVector& right) noexcept;
    static void DistanceSquared(const TSVector& left, const TSVector& right, float& result) noexcept;

    // Scales to length 1; a vector whose length is (near) zero is left as it is.
    void Normalize() noexcept;
    static TSVector Normalize(const TSVector& value) noexcept;
    static void Normalize(const TSVector& value, TSVector& result) noexcept;

    // Tolerant: every component pair MathUtil::NearEqual. Not transitive, and near-equal
    // vectors need not hash alike.
    bool Equals(const TSVector& other) const noexcept;
    std::size_t GetHashCode() const noexcept;

    // --- TSVectorText.cpp ---
    // "X:{0} Y:{1} Z:{2}", components in the global locale's general number form.
    std::string ToString() const;
    std::string ToString(const std::locale& locale) const;
    // Each component formatted by one printf-style floating conversion such as "%.2f"
    // (flags -+#0, width, precision; conversions f F e E g G a A; literal text and %% around
    // it). Any other format is ArgumentError("format").
    std::string ToString(std::string_view format) const;
    std::string ToString(std::string_view format, const std::locale& locale) const;

    // --- TSVectorArithmetic.cpp: component-wise ---
    static TSVector Add(const TSVector& left, const TSVector& right) noexcept;
    static void Add(const TSVector& left, const TSVector& right, TSVector& result) noexcept;
    static TSVector Add(const TSVector& left, float right) noexcept;
    static void Add(const TSVector& left, float right, TSVector& result) noexcept;
    static TSVector Subtract(const TSVector& left, const TSVector& right) noexcept;
    static void Subtract(const TSVector& left, const TSVector& right, TSVector& result) noexcept;
    static TSVector Subtract(const TSVector& left, float right) noexcept;
    static void Subtract(const TSVector& left, float right, TSVector& result) noexcept;
    static TSVector Subtract(float left, const TSVector& right) noexcept;
    static void Subtract(float left, const TSVector& right, TSVector& result) noexcept;
    static TSVector Multiply(const TSVector& value, float scale) noexcept;
    static void Multiply(const TSVector& value, float scale, TSVector& result) noexcept;
    // Modulation: X by X, Y by Y, Z by Z.
    static TSVector Multiply(const TSVector& left, const TSVector& right) noexcept;
    static void Multiply(const TSVector& left, const TSVector& right, TSVector& result) noexcept;
    static TSVector Divide(const TSVector& value, float scale) noexcept;
    static void Divide(const TSVector& value, float scale, TSVector& result) noexcept;
    static TSVector Divide(float scale, const TSVector& value) noexcept;
    static void Divide(float scale, const TSVector& value, TSVector& result) noexcept;
    static TSVector Negate(const TSVector& value) noexcept;
    static void Negate(const TSVector& value, TSVector& result) noexcept;
    // On a tie the right operand's component is taken (visible with -0 and +0).
    static TSVector Max(const TSVector& left, const TSVector& right) noexcept;
    static void Max(const TSVector& left, const TSVector& right, TSVector& result) noexcept;
    static TSVector Min(const TSVector& left, const TSVector& right) noexcept;
    static void Min(const TSVector& left, const TSVector& right, TSVector& result) noexcept;
    // Capped at max first, then raised to min: min wins where min > max.
    static TSVector Clamp(const TSVector& value, const TSVector& min, const TSVector& max) noexcept;
    static void Clamp(const TSVector& value, const TSVector& min, const TSVector& max,
                      TSVector& result) noexcept;

    // --- TSVectorInterpolation.cpp ---
    static TSVector Lerp(const TSVector& start, const TSVector& end, float amount) noexcept;
    static void Lerp(const TSVector& start, const TSVector& end, float amount, TSVector& result) noexcept;
    static TSVector SmoothStep(const TSVector& start, const TSVector& end, float amount) noexcept;
    static void SmoothStep(const TSVector& start, const TSVector& end, float amount,
                           TSVector& result) noexcept;
    // value1 + amount1 * (value2 - value1) + amount2 * (value3 - value1).
    static TSVector Barycentric(const TSVector& value1, const TSVector& value2, const TSVector& value3,
                                float amount1, float amount2) noexcept;
    static void Barycentric(const TSVector& value1, const TSVector& value2, const TSVector& value3,
                            float amount1, float amount2, TSVector& result) noexcept;
    static TSVector Hermite(const TSVector& value1, const TSVector& tangent1, const TSVector& value2,
                            const TSVector& tangent2, float amount) noexcept;
    static void Hermite(const TSVector& value1, const TSVector& tangent1, const TSVector& value2,
                        const TSVector& tangent2, float amount, TSVector& result) noexcept;
    // Passes through value2 at amount 0 and value3 at amount 1.
    static TSVector CatmullRom(const TSVector& value1, const TSVector& value2, const TSVector& value3,
                               const TSVector& value4, float amount) noexcept;
    static void CatmullRom(const TSVector& value1, const TSVector& value2, const TSVector& value3,
                           const TSVector& value4, float amount, TSVector& result) noexcept;

    // --- TSVectorGeometry.cpp ---
    static float Dot(const TSVector& left, const TSVector& right) noexcept;
    static void Dot(const TSVector& left, const TSVector& right, float& result) noexcept;
    static TSVector Cross(const TSVector& left, const TSVector& right) noexcept;
    static void Cross(const TSVector& left, const TSVector& right, TSVector& result) noexcept;
    // normal is expected to be normalized; this is not checked.
    static TSVector Reflect(const TSVector& vector, const TSVector& normal) noexcept;
    static void Reflect(const TSVector& vector, const TSVector& normal, TSVector& result) noexcept;
    // Every component of left - right within +-(the matching component of epsilon), inclusive.
    static bool NearEqual(const TSVector& left, const TSVector& right, const TSVector& epsilon) noexcept;
    static void NearEqual(const TSVector& left, const TSVector& right, const TSVector& epsilon,
                          bool& result) noexcept;

    // Gram-Schmidt over source in order, written to the first source.size() entries of
    // destination (which may be source itself). Orthogonalize keeps the lengths,
    // Orthonormalize normalizes each result. A destination shorter than the source is
    // ArgumentError("destination").
    static void Orthogonalize(std::span<TSVector> destination, std::span<const TSVector> source);
    static void Orthonormalize(std::span<TSVector> destination, std::span<const TSVector> source);
    // As above; a null source or destination is ArgumentError("source") / ("destination").
    static void Orthogonalize(TSVector* destination, std::size_t destinationLength, const TSVector* source,
                              std::size_t sourceLength);
    static void Orthonormalize(TSVector* destination, std::size_t destinationLength, const TSVector* source,
                               std::size_t sourceLength);
};

inline constexpr TSVector TSVector::Zero{0.0f, 0.0f, 0.0f};
inline constexpr TSVector TSVector::One{1.0f, 1.0f, 1.0f};
inline constexpr TSVector TSVector::UnitX{1.0f, 0.0f, 0.0f};
inline constexpr TSVector TSVector::UnitY{0.0f, 1.0f, 0.0f};
inline constexpr TSVector TSVector::UnitZ{0.0f, 0.0f, 1.0f};
inline constexpr TSVector TSVector::Up{0.0f, 1.0f, 0.0f};
inline constexpr TSVector TSVector::Down{0.0f, -1.0f, 0.0f};
inline constexpr TSVector TSVector::Left{-1.0f, 0.0f, 0.0f};
inline constexpr TSVector TSVector::Right{1.0f, 0.0f, 0.0f};
inline constexpr TSVector TSVector::ForwardRH{0.0f, 0.0f, -1.0f};
inline constexpr TSVector TSVector::ForwardLH{0.0f, 0.0f, 1.0f};
inline constexpr TSVector TSVector::BackwardRH{0.0f, 0.0f, 1.0f};
inline constexpr TSVector TSVector::BackwardLH{0.0f, 0.0f, -1.0f};

// The host reads TSVector in place as its own 3D vector.
static_assert(std::is_standard_layout_v<TSVector> && std::is_trivially_copyable_v<TSVector>);
static_assert(sizeof(TSVector) == sizeof(TS3_VECTOR) && alignof(TSVector) == alignof(TS3_VECTOR));
static_assert(offsetof(TSVector, X) == offsetof(TS3_VECTOR, x) &&
              offsetof(TSVector, Y) == offsetof(TS3_VECTOR, y) &&
              offsetof(TSVector, Z) == offsetof(TS3_VECTOR, z));

// --- TSVectorArithmetic.cpp ---
TSVector operator+(const TSVector& left, const TSVector& right) noexcept;
TSVector operator+(const TSVector& value, float scalar) noexcept;
TSVector operator+(float scalar, const TSVector& value) noexcept;
TSVector operator+(const TSVector& value) noexcept;
TSVector operator-(const TSVector& left, const TSVector& right) noexcept;
TSVector operator-(const TSVector& value, float scalar) noexcept;
TSVector operator-(float scalar, const TSVector& value) noexcept;
TSVector operator-(const TSVector& value) noexcept;
TSVector operator*(const TSVector& value, float scale) noexcept;
TSVector operator*(float scale, const TSVector& value) noexcept;
TSVector operator*(const TSVector& left, const TSVector& right) noexcept;
TSVector operator/(const TSVector& value, float scale) noexcept;
TSVector operator/(float scale, const TSVector& value) noexcept;
TSVector operator/(const TSVector& left, const TSVector& right) noexcept;

// --- TSVector.cpp ---
// Tolerant, as Equals; != follows from it.
bool operator==(const TSVector& left, const TSVector& right) noexcept;

// --- TSVectorText.cpp ---
// ToString in the stream's locale.
std::ostream& operator<<(std::ostream& stream, const TSVector& value);

} // namespace TeamSpeak

template <> struct std::hash<TeamSpeak::TSVector> {
    std::size_t operator()(const TeamSpeak::TSVector& value) const noexcept { return value.GetHashCode(); }
};
