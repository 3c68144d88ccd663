#pragma once

#include "core/base/FilePath.h"

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

namespace vexa::picture {

// The file a picture was read from, as it was then. Kept through edits, so that a project can
// still name the file each cover came from when that file has moved or changed since.
struct PictureOrigin {
    base::FilePath path; // absolute
    qint64 size = 0;
    QByteArray sha256; // of the file's bytes, 32 bytes; empty for no file

    bool isKnown() const { return !sha256.isEmpty(); }
};

// A picture as VEXA holds it: its pixels, and, while it is unchanged since it was read from a
// file, the exact bytes it was read from and their format. A print job can pass an unchanged
// JPEG through as it is instead of compressing its pixels again. Copies share their data.
//
// The pixels stand upright (the file's EXIF orientation applied) and are sRGB (the file's
// colour profile converted), as VEXA's pixels are everywhere; `orientation` and `iccProfile`
// say what `bytes` need to be shown so, for a page that takes them as they are.
struct LoadedPicture {
    QImage pixels;
    // Bytes that hold exactly these pixels: as read from a file or the clipboard; or, for a
    // picture edited in VEXA and reopened from a project, the lossless PNG it was kept as.
    // Empty for a picture made or edited in VEXA since (a scan, a pasted bitmap, an effect).
    QByteArray bytes;
    QByteArray format;    // of `bytes`, as Qt names it: "jpeg", "png", "bmp", "gif", "tiff", ...
    bool changed = false; // edited since it was read (an effect, a rotation, ...), or never read
    PictureOrigin origin; // the file it was read from, also once edited; unknown when none
    // The size of a picture checked but not decoded (see Decoding::NotForPassThrough), upright:
    // its pixels are null and `bytes` are a JPEG a page takes as they are. Empty otherwise.
    QSize undecodedSize;
    // The EXIF orientation of `bytes` (1 to 8; see PictureOrientation.h).
    int orientation = 1;
    // The ICC profile embedded in `bytes`; empty when they have none.
    QByteArray iccProfile;

    bool isNull() const { return pixels.isNull() && undecodedSize.isEmpty(); }
    bool isDecoded() const { return !pixels.isNull(); }
    QSize size() const { return isDecoded() ? pixels.size() : undecodedSize; }
    // A picture made or changed in VEXA: no bytes it could be printed from as they are.
    static LoadedPicture made(QImage pixels) {
        return LoadedPicture{std::move(pixels), {}, {}, true, {}, {}, 1, {}};
    }
    // This picture edited into `pixels`: made in VEXA, still naming the file it came from.
    LoadedPicture edited(QImage pixels) const {
        LoadedPicture picture = made(std::move(pixels));
        picture.origin = origin;
        return picture;
    }
};

// Gives `pixels` (decoded from `bytes`) to `record` when it is a picture of exactly those bytes
// that was checked but not decoded; true when it did.
bool fillInPixels(LoadedPicture& record, const QByteArray& bytes, const QImage& pixels);

// Files over this size are not read as pictures: 1 GiB is far above any photo or scan a
// cover is printed from, and reading more would only feed a decoder memory.
inline constexpr qint64 kMaxPictureFileBytes = qint64(1) << 30;

// The most pixels a picture may have: 250 megapixels. It holds every photo and scan a cover
// is printed from (the largest cover, a Blu-ray insert, is about 110 megapixels at 1200 dpi)
// and keeps a picture's decoded size near 1 GB. The size is read from the file's header
// before anything is decoded, so a small file that declares a huge picture costs nothing.
inline constexpr qint64 kMaxPicturePixels = 250'000'000;

// Reads a picture file at its own resolution: JPEG, PNG and TIFF by VEXA's own readers, each
// decoded once (PictureIntegrityJpeg.h, PngPicture.h, TiffPicture.h), BMP, GIF, WebP and
// whatever else Qt reads by Qt's readers after VEXA's checks (PictureIntegrity.h).
// A null image when the file is missing, is no regular file (a FIFO, a device such as
// /dev/zero; links are followed), is over kMaxPicturePixels (read from the header before
// anything is decoded, see PictureHeaderSize.h) or kMaxPictureFileBytes, is no picture, or is
// damaged: a truncated file, one whose data cannot hold its declared size, one whose header
// contradicts it, or one whose decoder reports damaged data is refused rather than shown with
// a grey, missing or made-up part. Transparent and
// semi-transparent pixels come back put over white, as they print (see PictureOnWhite.h).
// The pixels come upright and in sRGB (see LoadedPicture).
// Safe to call from any thread.
// Qt refuses pictures over 128 MB decoded by default; that limit is raised to 2 GiB so
// that the 40-megapixel photos and 600-dpi scans people print covers from load too.
QImage loadPictureFile(const base::FilePath& path);
// The same for a name given as text (see FilePath::fromText).
QImage loadPictureFile(const QString& path);

// The same for a file's bytes already in memory.
QImage loadPictureData(const QByteArray& bytes);

// The same, keeping the bytes and their format with the pixels, and for a file its origin
// (the name made absolute, the size and SHA-256 of the bytes read); a null record when the
// picture cannot be read. Where there is more to say than "not a readable picture" (a
// picture over kMaxPicturePixels, a progressive JPEG over kMaxJpegScanPixels), `refusal`, when
// given, gets the reason as a sentence.
//
// With Decoding::NotForPassThrough, a JPEG that a page takes as its own data (see
// passThroughJpegFrame) is checked without being decoded: its markers are walked and its
// coded data is read through libjpeg's 1/8-scale decoding, which finds the same damage, so it
// is refused exactly when it would be decoded and refused. It comes back with null pixels and
// its size in `undecodedSize`, for a print job that needs no pixels (no bleed). Any other
// picture is decoded as with Decoding::Always.
enum class Decoding { Always, NotForPassThrough };
LoadedPicture readPictureFile(const base::FilePath& path, QString* refusal = nullptr,
                              Decoding decoding = Decoding::Always);
LoadedPicture readPictureData(const QByteArray& bytes, QString* refusal = nullptr,
                              Decoding decoding = Decoding::Always);

} // namespace vexa::picture
