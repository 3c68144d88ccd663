#pragma once

#include <QByteArray>
#include <QImage>

#include <cstdint>

namespace vexa::picture {

// Reads the first picture of a TIFF file with libtiff, over white, in Format_RGB32: any
// photometric interpretation, bit depth and tiling libtiff's RGBA reading takes (tiles of any
// size, 1-pixel tiles too, which other readers take), rows in the order they are stored, as
// Qt's reader gives them; what that reading does not take (floating-point samples) is read by
// Qt's TIFF reader after the same checks of its structure. A null image for a file that is no
// TIFF, and for a damaged one:
//  - its size is over kMaxPicturePixels (the size is read before anything is decoded);
//  - it has more than kMaxTiffPieces strips or tiles;
//  - its strips or tiles are far too small for the size it declares (a decompression bomb):
//    they must hold at least one byte per byte of picture uncompressed, one per 64 with
//    PackBits (128 bytes from 2), one per 1032 with Deflate (zlib's most), one per 3641 with
//    LZW (a 9-bit code at least, for a string of at most 4096 bytes), one bit per 8 x 8 block
//    with JPEG, one bit per row with the fax codings (an unchanged row codes in one bit), one
//    per 32768 with any other coding;
//  - its strips or tiles do not hold together with the file (see TiffPieces.h): outside it,
//    over its header or directory, or holding more rows than the picture has;
//  - libtiff reports an error, or, while it decodes the pixels, a warning: those mean lost
//    data (a bad code word, data that ends early, damaged JPEG data); warnings about the
//    directory (an unknown tag, a tile size that is no multiple of 16) do not refuse it, unless
//    libtiff had to guess where the strips or tiles are.
// Its ICC profile becomes the picture's colour space and its resolution the dots per metre.
// Safe on several threads at once: each call has its own handlers.
QImage readTiffPicture(const QByteArray& bytes);

// More strips or tiles than a picture of any use has (a million 1-pixel tiles, 256 megapixels
// in 16 x 16 tiles): each costs libtiff a read of its own, so more is a time bomb.
inline constexpr std::uint64_t kMaxTiffPieces = std::uint64_t(1) << 20;

} // namespace vexa::picture
