#pragma once

#include <QByteArray>

#include <cstdint>

namespace vexa::picture {

// False when a BMP, GIF or JPEG file ends before its picture data does (run-length BMP data
// before its end-of-bitmap escape, arithmetic-coded JPEG data cut short even with the end
// marker put back), when its data is far too small for the size its header declares (a
// decompression bomb: a few hundred bytes that would take gigabytes and a minute to
// decode), or, for JPEG, when the decoder finds the coded data damaged. Qt's readers show
// such files with a grey, black or made-up part; a cover slot should keep its picture
// instead. Near-valid files that other readers take pass: a JPEG whose only fault is a
// missing end marker after its last scan, a GIF with a stray zero byte between blocks.
// Each bound is explained where it is computed (PictureIntegrity.cpp,
// PictureIntegrityBmp.h, PictureIntegrityJpeg.h). Data of other formats is left to its
// reader and counts as complete. Safe to call on several threads at once.
bool isPictureDataComplete(const QByteArray& data);

// Pictures up to this many pixels pass the bounds on run-length (BMP) and LZW (GIF) data
// whatever their data: small sprites with transparent areas skipped by escapes are real,
// and their canvas costs little.
inline constexpr std::uint64_t kSmallPictureArea = std::uint64_t(1) << 20;

} // namespace vexa::picture
