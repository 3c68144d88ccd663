#pragma once

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace vexa::picture {

// A picture's size as its file's header declares it, before anything is decoded. Sides may be
// far larger than any picture (up to 2^32 - 1 in a PNG or TIFF), hence 64-bit numbers.
struct DeclaredSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
    // Below 2^64 for sides below 2^32.
    std::uint64_t pixels() const { return std::uint64_t(width) * std::uint64_t(height); }
};

// The size of the picture the file holds, read from its header alone: BMP, GIF, JPEG, PNG,
// TIFF (its first picture) and WebP. Nothing for other data, or a header too short to tell.
// For a GIF it is the picture Qt's reader builds (see gifCanvasSize in PictureIntegrityGif.h).
std::optional<DeclaredSize> declaredPictureSize(const QByteArray& bytes);

} // namespace vexa::picture
