#pragma once

#include <QFlags>

#include <array>
#include <bit>
#include <cstddef>

namespace vexa::cover {

// The kinds of cover VEXA makes, in the order of the cover table: the order in which they are
// printed and their settings are read and written. Each is one bit, so that a selection of
// kinds is a CoverKinds.
enum class CoverKind : unsigned {
    Front = 1u << 0,
    Inside = 1u << 1,
    Back = 1u << 2,
    Mini = 1u << 3,
    Dvd = 1u << 4,
    DvdSlim = 1u << 5,
    HdDvd = 1u << 6,
    BluRay = 1u << 7,
    Psp = 1u << 8,
    Vita = 1u << 9,
    Ds = 1u << 10,
};
Q_DECLARE_FLAGS(CoverKinds, CoverKind)
Q_DECLARE_OPERATORS_FOR_FLAGS(CoverKinds)

inline constexpr std::size_t kCoverKindCount = 11;

// The kind's row in the cover table, 0 ... 10.
constexpr std::size_t coverIndex(CoverKind kind) {
    return static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(kind)));
}

// The kind at row 0 ... 10 of the cover table.
constexpr CoverKind coverKindAt(std::size_t index) {
    return static_cast<CoverKind>(1u << index);
}

inline constexpr std::array<CoverKind, kCoverKindCount> kAllCoverKinds = [] {
    std::array<CoverKind, kCoverKindCount> kinds{};
    for (std::size_t i = 0; i < kCoverKindCount; ++i) kinds[i] = coverKindAt(i);
    return kinds;
}();

inline constexpr CoverKinds kEveryCoverKind = CoverKinds::fromInt((1u << kCoverKindCount) - 1);

} // namespace vexa::cover
