#pragma once

#include "core/base/FilePath.h"
#include "imageio/ExtensionMap.h"
#include "imageio/ImageEncoders.h"
#include "imageio/WriteResult.h"

#include <QImage>
#include <QString>

#include <vector>

namespace vexa::imageio {

// Writes a picture to a file in the format that the file name's extension selects (BMP,
// JPEG, GIF, TIFF, PNG), with a quality for JPEG. The list of encoders is read once, when
// the object is created.
class PictureWriter {
public:
    PictureWriter();

    // Writes `picture` to `fileName` (its bytes, as the user gave them), overwriting an
    // existing file without asking. `quality` (0 ... 100) is used when the extension starts
    // with "J" or "j". The result says why nothing was written: no extension or no encoder
    // for it (UnknownFormat), no picture, or what the encoder or the file system refused;
    // the file that was there before is then left as it was.
    WriteResult write(const QImage& picture, const base::FilePath& fileName, qint32 quality);
    // The same for a name given as text (see FilePath::fromText).
    WriteResult write(const QImage& picture, const QString& fileName, qint32 quality);

    qint32 encoderCount() const { return static_cast<qint32>(m_encoders.size()); }

private:
    std::vector<ImageEncoder> m_encoders;
    ExtensionMap m_extensions;
};

} // namespace vexa::imageio
