#pragma once

#include "FilePath.h"

#include <QByteArray>
#include <QImage>
#include <QString>

namespace vexa {

// A picture as VEXA holds it: its pixels, and, while it is unchanged since it was read from a
// file, the exact bytes it was read from and their format. A print job can pass an unchanged
// JPEG through as it is instead of compressing its pixels again. Copies share their data.
struct LoadedPicture {
    QImage pixels;
    QByteArray bytes;     // as read; empty for a picture made in VEXA (a scan, a pasted bitmap)
    QByteArray format;    // of `bytes`, as Qt names it: "jpeg", "png", "bmp", "gif", "tiff", ...
    bool changed = false; // edited since it was read (an effect, a rotation, ...), or never read

    bool isNull() const { return pixels.isNull(); }
    // A picture made or changed in VEXA: no bytes it could be printed from as they are.
    static LoadedPicture made(QImage pixels) {
        return LoadedPicture{std::move(pixels), {}, {}, true};
    }
};

// Files over this size are not read as pictures: 1 GiB is far above any photo or scan a
// cover is printed from, and reading more would only feed a decoder memory.
inline constexpr qint64 kMaxPictureFileBytes = qint64(1) << 30;

// Reads a picture file (BMP, GIF, JPEG and whatever else Qt reads) at its own resolution.
// A null image when the file is missing, is no regular file (a FIFO, a device such as
// /dev/zero; links are followed), is over kMaxPictureFileBytes, is no picture, or is
// damaged: a truncated file, one whose data cannot hold its declared size, or one whose
// decoder reports damaged data is refused rather than shown with a grey or missing part
// (see PictureIntegrity.h). Transparent and semi-transparent pixels come back put over
// white, as they print (see PictureOnWhite.h). Safe to call from any thread.
// Qt refuses pictures over 128 MB decoded by default; that limit is raised to 2 GiB so
// that the 40-megapixel photos and 600-dpi scans people print covers from load too.
QImage loadPictureFile(const FilePath& path);
// The same for a name given as text (see FilePath::fromText).
QImage loadPictureFile(const QString& path);

// The same for a file's bytes already in memory.
QImage loadPictureData(const QByteArray& bytes);

// The same, keeping the bytes and their format with the pixels; a null record when the
// picture cannot be read.
LoadedPicture readPictureFile(const FilePath& path);
LoadedPicture readPictureData(const QByteArray& bytes);

} // namespace vexa
