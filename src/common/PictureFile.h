#pragma once

#include "FilePath.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vexa {

// Files over this size are not read as pictures: 1 GiB is far above any photo or scan a
// cover is printed from, and reading more would only feed a decoder memory.
inline constexpr qint64 kMaxPictureFileBytes = qint64(1) << 30;

// Reads a picture file (BMP, GIF, JPEG and whatever else Qt reads) at its own resolution.
// A null image when the file is missing, is no regular file (a FIFO, a device such as
// /dev/zero; links are followed), is over kMaxPictureFileBytes, is no picture, or is
// damaged: a truncated file, one whose data cannot hold its declared size, or one whose
// decoder reports damaged data is refused rather than shown with a grey or missing part
// (see PictureIntegrity.h). Safe to call from any thread.
// Qt refuses pictures over 128 MB decoded by default; that limit is raised to 2 GiB so
// that the 40-megapixel photos and 600-dpi scans people print covers from load too.
QImage loadPictureFile(const FilePath& path);
// The same for a name given as text (see FilePath::fromText).
QImage loadPictureFile(const QString& path);

// The same for a file's bytes already in memory.
QImage loadPictureData(const QByteArray& bytes);

} // namespace vexa
