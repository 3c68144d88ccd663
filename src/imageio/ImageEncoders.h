#pragma once

#include "core/base/FilePath.h"
#include "imageio/WriteResult.h"

#include <QImage>
#include <QString>

#include <optional>
#include <vector>

class QIODevice;

namespace vexa::imageio {

// Writes a picture in one file format to an open device: Written, WriteFailed when the device
// refused the data, or the encoder's own reason. `quality` is the JPEG quality 0 ... 100;
// encoders of other formats take no parameters and ignore it.
using EncodeFunction = WriteStatus (*)(const QImage& picture, QIODevice& out,
                                       std::optional<qint32> quality);

// One file format the picture writer can produce, with the file-name patterns that select
// it, in the form "*.JPG;*.JPEG;*.JPE;*.JFIF".
struct ImageEncoder {
    QString formatName;
    QString filePatterns;
    EncodeFunction encode;
};

// The encoders this installation offers, in a fixed order: BMP, JPEG, GIF, TIFF, PNG.
// A format whose Qt image plugin is not installed is left out.
std::vector<ImageEncoder> installedEncoders();

// Writes the picture to `path` completely or not at all (see AtomicFile): the data goes to a
// temporary file in the same folder, which replaces the old file only once everything is
// written. An existing file that is not writable is left alone and the write fails.
WriteResult writeImageFile(const ImageEncoder& encoder, const QImage& picture,
                           const base::FilePath& path, std::optional<qint32> quality);

// Writes a Windows bitmap the same safe way (the scanner's transfer file, "Save" as BMP).
WriteResult writeBitmapFile(const QImage& picture, const base::FilePath& path);
// The same for a name given as text (see FilePath::fromText).
WriteResult writeBitmapFile(const QImage& picture, const QString& path);

} // namespace vexa::imageio
