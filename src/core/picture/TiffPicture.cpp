#include "core/picture/TiffPicture.h"

#include "core/picture/PictureFile.h"
#include "core/picture/PictureOnWhite.h"
#include "core/picture/TiffPieces.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include <tiffio.h>

namespace vexa::picture {

namespace {

// The most libtiff may allocate at once (a strip of the largest picture VEXA reads).
constexpr tmsize_t kMaxAllocation = tmsize_t(1) << 30;

// The file in memory, as libtiff reads it.
struct MemoryFile {
    const QByteArray* bytes;
    toff_t position;
};

MemoryFile& fileOf(thandle_t handle) {
    return *static_cast<MemoryFile*>(handle);
}

tmsize_t readFile(thandle_t handle, void* buffer, tmsize_t size) {
    MemoryFile& file = fileOf(handle);
    const auto total = toff_t(file.bytes->size());
    if (size <= 0 || file.position >= total) return 0;
    const auto count = tmsize_t(std::min<toff_t>(toff_t(size), total - file.position));
    std::memcpy(buffer, file.bytes->constData() + file.position, std::size_t(count));
    file.position += toff_t(count);
    return count;
}

tmsize_t writeFile(thandle_t, void*, tmsize_t) {
    return -1;
}

toff_t seekFile(thandle_t handle, toff_t offset, int whence) {
    MemoryFile& file = fileOf(handle);
    const auto total = toff_t(file.bytes->size());
    toff_t base = whence == SEEK_CUR ? file.position : whence == SEEK_END ? total : 0;
    if (offset > toff_t(-1) - base) return toff_t(-1);
    file.position = base + offset;
    return file.position;
}

int closeFile(thandle_t) {
    return 0;
}

toff_t fileSize(thandle_t handle) {
    return toff_t(fileOf(handle).bytes->size());
}

// libtiff reads strips and tiles straight from the "mapped" file; it maps files it opens itself
// read-only, so it writes nothing there. (Read through readFile instead, libtiff 4.5 refuses
// uncompressed tiles under 1 KB, whose buffer it rounds up: 1-pixel tiles.)
int mapFile(thandle_t handle, void** base, toff_t* size) {
    const MemoryFile& file = fileOf(handle);
    *base = const_cast<char*>(file.bytes->constData());
    *size = toff_t(file.bytes->size());
    return 1;
}

void unmapFile(thandle_t, void*, toff_t) {}

// What libtiff said while the picture was read.
struct Watch {
    bool decoding = false; // the directory is read; the pixels are being decoded
    bool damaged = false;
};

int onError(TIFF*, void* user, const char*, const char*, va_list) {
    static_cast<Watch*>(user)->damaged = true;
    return 1; // handled: nothing on stderr
}

int onWarning(TIFF*, void* user, const char*, const char* format, va_list arguments) {
    Watch& watch = *static_cast<Watch*>(user);
    if (watch.decoding) {
        watch.damaged = true;
        return 1;
    }
    char text[512];
    std::vsnprintf(text, sizeof text, format, arguments);
    // Where the pieces of the picture are, guessed from other fields: made-up pixels.
    for (const char* layout : {"StripOffsets", "StripByteCounts", "TileOffsets", "TileByteCounts"})
        if (std::strstr(text, layout)) watch.damaged = true;
    return 1;
}

struct TiffCloser {
    void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};

// The most picture bytes, uncompressed, one byte of `compression` data can hold.
std::uint64_t mostBytesPerCodedByte(std::uint16_t compression) {
    switch (compression) {
    case COMPRESSION_NONE:
        return 1;
    case COMPRESSION_PACKBITS:
        return 64;
    case COMPRESSION_DEFLATE:
    case COMPRESSION_ADOBE_DEFLATE:
        return 1032;
    case COMPRESSION_LZW:
        return 3641;
    default:
        return 32768;
    }
}

// The strips or tiles hold the picture's data, as far as their size can tell.
bool piecesCanHoldPicture(TIFF* tiff, std::uint32_t width, std::uint32_t height,
                          std::uint64_t fileBytes) {
    const bool tiled = TIFFIsTiled(tiff);
    const std::uint64_t pieces = tiled ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
    if (pieces == 0 || pieces > kMaxTiffPieces) return false;
    std::uint64_t coded = 0;
    for (std::uint64_t i = 0; i < pieces; ++i)
        coded += std::min<std::uint64_t>(TIFFGetStrileByteCount(tiff, std::uint32_t(i)), fileBytes);
    std::uint16_t compression = COMPRESSION_NONE;
    std::uint16_t bits = 1;
    std::uint16_t samples = 1;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &compression);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    switch (compression) {
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4:
    case COMPRESSION_CCITTRLEW:
        return coded * 8 >= height;
    case COMPRESSION_JPEG:
    case COMPRESSION_OJPEG:
        return coded * 8 >= std::uint64_t((width + 7) / 8) * ((height + 7) / 8);
    default: {
        // width * bits * samples < 2^32 * 2^16 * 2^16: no overflow
        const std::uint64_t rowBytes = (std::uint64_t(width) * bits * samples + 7) / 8;
        return coded * mostBytesPerCodedByte(compression) / rowBytes >= height;
    }
    }
}

void setResolution(TIFF* tiff, QImage& picture) {
    float x = 0;
    float y = 0;
    std::uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    if (!TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &x) ||
        !TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &y))
        return;
    const double perMetre = unit == RESUNIT_CENTIMETER ? 100.0
                            : unit == RESUNIT_INCH     ? 100 / 2.54
                                                       : 0;
    if (perMetre == 0 || !(x > 0) || !(y > 0) || x * perMetre > 1e9 || y * perMetre > 1e9) return;
    picture.setDotsPerMeterX(qRound(x * perMetre));
    picture.setDotsPerMeterY(qRound(y * perMetre));
}

// Pictures libtiff's RGBA reading does not take (floating-point samples, 32-bit integers)
// are read by Qt's TIFF reader once their strips and tiles held together.
QImage readWithQt(const QByteArray& bytes) {
    QByteArray copy = bytes; // shares the data; QBuffer wants a non-const array
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "tiff");
    QImage picture = reader.read();
    putOnWhite(picture);
    return picture;
}

QImage readOpened(TIFF* tiff, Watch& watch, const QByteArray& bytes) {
    const auto fileBytes = std::uint64_t(bytes.size());
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (watch.damaged || !TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height) || width == 0 || height == 0 ||
        std::uint64_t(width) * height > std::uint64_t(kMaxPicturePixels) ||
        !piecesCanHoldPicture(tiff, width, height, fileBytes))
        return QImage();
    char why[1024];
    if (!TIFFRGBAImageOK(tiff, why)) return readWithQt(bytes);
    // Rows in the order they are stored, as Qt's reader gives them: the orientation asked
    // for is the file's own.
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    QImage picture(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull()) return QImage();
    auto* raster = reinterpret_cast<std::uint32_t*>(picture.bits());
    watch.decoding = true;
    if (!TIFFReadRGBAImageOriented(tiff, width, height, raster, orientation, 1) || watch.damaged)
        return QImage();
    // libtiff packs red in the low byte, alpha in the high one; its colours are premultiplied.
    for (std::size_t i = 0, n = std::size_t(width) * height; i < n; ++i) {
        const std::uint32_t p = raster[i];
        raster[i] = qRgba(int(TIFFGetR(p)), int(TIFFGetG(p)), int(TIFFGetB(p)), int(TIFFGetA(p)));
    }
    putOnWhite(picture);
    setResolution(tiff, picture);
    std::uint32_t profileSize = 0;
    void* profile = nullptr;
    if (TIFFGetField(tiff, TIFFTAG_ICCPROFILE, &profileSize, &profile) && profile)
        picture.setColorSpace(QColorSpace::fromIccProfile(
            QByteArray(static_cast<const char*>(profile), qsizetype(profileSize))));
    return picture;
}

// Opens the file in memory.
std::unique_ptr<TIFF, TiffCloser> openTiff(MemoryFile& file, const char* mode, Watch& watch) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return nullptr;
    TIFFOpenOptionsSetErrorHandlerExtR(options, onError, &watch);
    TIFFOpenOptionsSetWarningHandlerExtR(options, onWarning, &watch);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, kMaxAllocation);
    std::unique_ptr<TIFF, TiffCloser> tiff(
        TIFFClientOpenExt("picture", mode, &file, readFile, writeFile, seekFile, closeFile,
                          fileSize, mapFile, unmapFile, options));
    TIFFOpenOptionsFree(options);
    return tiff;
}

} // namespace

QImage readTiffPicture(const QByteArray& bytes) {
    Watch watch;
    MemoryFile storedFile{&bytes, 0};
    MemoryFile file{&bytes, 0};
    // The pieces are checked as the file stores them ("c": libtiff would otherwise cut a single
    // uncompressed strip into pieces of its own), the picture read with that cutting, which
    // keeps its buffers small.
    const std::unique_ptr<TIFF, TiffCloser> stored = openTiff(storedFile, "rc", watch);
    if (!stored || watch.damaged || !tiffPiecesHoldTogether(stored.get(), bytes)) return QImage();
    const std::unique_ptr<TIFF, TiffCloser> tiff = openTiff(file, "r", watch);
    if (!tiff) return QImage();
    QImage picture = readOpened(tiff.get(), watch, bytes);
    return watch.damaged ? QImage() : picture;
}

} // namespace vexa::picture
