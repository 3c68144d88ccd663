#pragma once

#include "ExtensionMap.h"
#include "ImageEncoders.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <vector>

namespace vexa {

// Writes a picture to a file in the format that the file name's extension selects (BMP,
// JPEG, GIF, TIFF, PNG), with a quality for JPEG. The list of encoders is read once, when
// the object is created.
class PictureWriter : public QObject {
    Q_OBJECT
public:
    explicit PictureWriter(QObject* parent = nullptr);

    // Writes `picture` to `fileName`, overwriting an existing file without asking, and
    // returns true when the file was written. `quality` (0 ... 100) is used when the
    // extension starts with "J" or "j". False without an event: no extension, no encoder
    // for it, or no picture. False with `Error`: the encoder or the file failed; the file
    // that was there before is then left as it was.
    bool write(const QImage& picture, const QString& fileName, qint32 quality);

    // The text of a status value; "Unknown GDI+ Error" for 0 and every unlisted value.
    static QString statusText(qint32 lError);

    qint32 encoderCount() const { return static_cast<qint32>(m_encoders.size()); }

signals:
    void Error(qint32 lGdiError, QString sErrorDesc);

private:
    bool fail(GdiStatus status);

    std::vector<ImageEncoder> m_encoders;
    ExtensionMap m_extensions;
};

} // namespace vexa
