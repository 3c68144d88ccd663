#pragma once

#include <QByteArray>
#include <QImage>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vexa::picture {

// The JPEG parts of the picture checks (see PictureIntegrity.h).

// What the walk over the markers learns for the trial decode.
struct JpegLayout {
    bool arithmetic = false;
    bool progressive = false;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int scans = 0;
    // False when the file stops right after its last scan's data, without an end-of-image
    // marker: some writers leave it out, and the picture is whole when that scan is.
    bool endMarker = true;
    // The segments of entropy-coded data (a scan, or a restart interval of one), in file
    // order: where each ends (before the fill bytes and the marker that follow it, or at the
    // end of the file), the most 8 x 8 blocks it codes, and whether it is a progressive DC
    // refinement scan, which codes one bit per block at a fixed even probability.
    struct Segment {
        qsizetype end = 0;
        std::uint64_t blocks = 0;
        bool dcRefinement = false;
    };
    std::vector<Segment> segments;
};

// Walks the markers without decoding. Nothing when the file ends before the data of its
// last scan does (inside a marker segment), when a scan names a component the frame lacks, when
// a scan codes nothing new or there are more than kMaxJpegScans scans, when the scans leave
// some component's DC coefficient uncoded or any coefficient they code without its last bits
// (a progressive file cut before a later scan; coefficients no scan codes at all are zeros the
// encoder chose, as `cjpeg -scans` may), or when Huffman-coded data is too small for the
// declared size: Huffman coding spends at least one bit on the DC difference of every 8 x 8
// block of every component (codes are 1 to 16 bits long, and every block has a DC term), so
// the coded data needs at least one byte per 8 blocks. Arithmetic coding has no such bound: its
// coder leaves out the zero bytes it ends with, and a flat picture of any size codes to a few
// bytes; arithmetic-coded bombs are bounded by the pixel budget (kMaxPicturePixels, checked
// before this walk) and by the decoder's reading of zeros (see jpegDecodesCleanly).
std::optional<JpegLayout> jpegStructure(const QByteArray& data);

// More scans than any encoder writes (libjpeg's progression writes 10, optimising encoders
// a few dozen); each scan passes over the whole picture, so a long scan list is a time bomb.
inline constexpr int kMaxJpegScans = 500;

// The most scans times pixels a progressive JPEG may have: every scan is a pass over the
// coefficients of its components, and decoding takes that long (about 0.7 ns per scan and
// pixel here). Cameras and editors write progressive pictures in 10 scans (libjpeg), up to a
// few dozen (optimising encoders): 40 scans of a 100-megapixel picture, or 16 at the pixel
// budget, are far beyond them. A picture over this bound is refused before it is decoded.
inline constexpr std::uint64_t kMaxJpegScanPixels = 4'000'000'000;

// The scans times pixels of a progressive JPEG, 0 for a sequential one.
inline std::uint64_t jpegScanPixels(const JpegLayout& layout) {
    if (!layout.progressive) return 0;
    return std::uint64_t(layout.scans) * layout.width * layout.height;
}

// Decodes the file with libjpeg at 1/8 scale (the entropy-coded data is read in full, the
// cheap DC-only transform makes it fast) and reports false when libjpeg meets damaged data:
// the check of a JPEG's bytes alone, for callers that want no pixels. libjpeg only warns about
// damage and reads on, filling the rest with grey. The warnings that refuse a picture:
//   "Premature end of JPEG file", "Corrupt JPEG data: premature end of data segment",
//   "Corrupt JPEG data: bad Huffman code", "Corrupt JPEG data: bad arithmetic code",
//   "Corrupt JPEG data: found marker 0x.. instead of RSTn",
//   "Inconsistent progression sequence for component .. coefficient ..",
//   "Corrupt JPEG data: N extraneous bytes before marker 0x.." unless every byte skipped is
//   fill (0x00 or 0xFF): cameras pad with such bytes, but other skipped bytes are coded data
//   the decoder did not use, as when a flipped byte made it finish its blocks early.
// Others leave the picture whole and do not refuse it.
//
// Arithmetic-coded data cut short warns of nothing: the decoder reads zero bytes where the
// data stops, as the format has it, since an encoder leaves out the zero bytes its coder
// ends with. So the check puts arithmeticSlackBytes() zero bytes before the marker after
// each coded segment (plus one per 8 blocks in a progressive DC refinement scan, which
// codes one bit per block at even odds) and refuses the picture when the decoder reads
// them all: a valid file needs far fewer, a cut one about as many as were cut away.
//
// Each call has its own decoder and warning record, so calls on several threads at once
// are safe.
bool jpegDecodesCleanly(const QByteArray& data, const JpegLayout& layout);

// The picture at its full size, decoded once with the same watch on damage as
// jpegDecodesCleanly: a null image when that would report damage, or when memory runs out.
// As Qt's reader gives it: grey as Format_Grayscale8, colour (and CMYK, converted as Qt does)
// as Format_RGB32, with the file's ICC profile as its colour space and its density as dots
// per metre. Safe on several threads at once.
QImage decodeJpegPicture(const QByteArray& data, const JpegLayout& layout);

// The zero bytes an arithmetic-coded segment may need beyond its data. In libjpeg's
// outputs (flat, white, noisy, striped and half-noisy pictures, 16 x 16 to 3000 x 2000,
// baseline and progressive, 4:4:4, 4:2:0 and grey) the most was 51 bytes, for a periodic
// pattern ending a 6-megapixel progressive picture, growing by about 4 bytes for each
// doubling of the picture. Where each decision of a long, fully predictable end is coded
// at the coder's smallest odds, a zero byte holds 262144 decisions; 1/1024 of a byte per
// block allows 256 such decisions per block. The margin costs little: a cut file is
// refused once the data cut away would have taken more than this to decode, which for a
// 24-megapixel photo leaves at most its last 600 bytes or so, part of its last row of blocks.
inline std::size_t arithmeticSlackBytes(std::uint64_t blocks) {
    return 64 + std::size_t(blocks / 1024);
}

} // namespace vexa::picture
