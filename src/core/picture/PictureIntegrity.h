#pragma once

#include <QByteArray>

#include <cstdint>

namespace vexa::picture {

// False when a BMP, GIF or JPEG file is damaged or cut short, rather than shown with a grey,
// black or made-up part: when it ends before its picture data does, when its data is far too
// small for the size its header declares (a decompression bomb: a few hundred bytes that would
// take gigabytes and a minute to decode), when a header field contradicts the file or the
// format, when its coded data does not decode to exactly its pixels, or, for JPEG, when the
// decoder finds the coded data damaged or a progressive file would take too long. Near-valid
// files that other readers take pass: a JPEG whose only fault is a missing end marker after its
// last scan, a GIF with a stray zero byte between blocks or without its last terminator and
// trailer. Each bound is explained where it is computed (PictureIntegrityBmp.h,
// PictureIntegrityGif.h, PictureIntegrityJpeg.h). PNG and TIFF files are checked as VEXA's own
// readers decode them (PngPicture.h, TiffPicture.h); data of other formats is left to its
// reader and counts as complete here. Safe to call on several threads at once.
bool isPictureDataComplete(const QByteArray& data);

// Pictures up to this many pixels pass the bounds on run-length (BMP) and LZW (GIF) data
// whatever their data: small sprites with transparent areas skipped by escapes are real,
// and their canvas costs little.
inline constexpr std::uint64_t kSmallPictureArea = std::uint64_t(1) << 20;

} // namespace vexa::picture
