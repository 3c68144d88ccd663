#pragma once

#include <QByteArray>

#include <array>
#include <cstdint>
#include <optional>

namespace vexa::picture {

// The BMP part of the picture checks (see PictureIntegrity.h).

// What a BMP's headers say, once each field was checked against the format's rules and the
// file's structure.
struct BmpLayout {
    std::uint32_t headerSize = 0; // 12 (OS/2 core), 16 or 64 (OS/2 2), 40, 52, 56, 108, 124
    std::int64_t width = 0;
    std::int64_t height = 0; // rows, positive
    bool topDown = false;
    int bits = 0;                  // 1, 4, 8, 16, 24 or 32
    std::uint32_t compression = 0; // 0 none, 1 RLE8, 2 RLE4, 3 bit fields, 4 JPEG, 5 PNG, 6
                                   // bit fields with alpha
    std::uint32_t offset = 0;      // of the pixel data
    int paletteEntries = 0;        // for 1, 4 and 8 bits
    // Red, green, blue and alpha masks, for compression 3 and 6.
    std::array<std::uint32_t, 4> masks{};
};

inline constexpr std::uint32_t kBmpRle8 = 1;
inline constexpr std::uint32_t kBmpRle4 = 2;
inline constexpr std::uint32_t kBmpBitfields = 3;
inline constexpr std::uint32_t kBmpAlphaBitfields = 6;

// The layout of a BMP file; nothing when a field contradicts the format or the file:
//  - the header size is one of the format's, the file holds the header, one plane, a bit count
//    of 1, 4, 8, 16, 24 or 32 with a compression that goes with it (run-length coding only
//    bottom-up), a width and height above 0;
//  - bit fields (compression 3 and 6, 16 and 32 bits) have their masks in the file, in the
//    header or right after a 40-byte one: red, green and blue not empty, each one run of bits
//    within the pixel, no two overlapping (alpha included);
//  - a palette (1 to 8 bits) of at most 2^bits colours (clrUsed, or 2^bits when it is 0) lies
//    between the headers and the pixel data, which starts inside the file: headers and palette
//    are never read as pixels.
std::optional<BmpLayout> bmpLayout(const QByteArray& data);

// A BMP is complete when its layout holds and its pixel data is whole:
//  - uncompressed, the file holds every row the header announces, each with its padding, but
//    not a row or more beyond them (in the file, and by the header's image size when given; a
//    colour profile stored after the pixels aside): a width, height or bit count edited
//    smaller would show part of the picture. No pixel of 1, 4 or 8 bits names a colour beyond
//    the palette;
//  - run-length data (RLE8, RLE4) reaches its end-of-bitmap escape (00 01), or, for writers
//    that leave that out, its end-of-line escapes close every row; no run, pixel or move goes
//    past its row or past the last row, and no pixel names a colour beyond the palette. Data
//    that reaches its end-of-bitmap escape before the image size its header gives, in a file
//    shorter than its header says, was cut short. Over kSmallPictureArea pixels it must also
//    hold two bytes per 255 pixels: a run codes at most 255 pixels in two bytes, and the
//    escapes that skip pixels are used for small transparent areas, not for a whole picture.
bool bmpComplete(const QByteArray& data);

} // namespace vexa::picture
