#include "PictureWriter.h"

#include <array>

namespace vexa {

PictureWriter::PictureWriter(QObject* parent) : QObject(parent), m_encoders(installedEncoders()) {
    QStringList patternLists;
    for (const ImageEncoder& encoder : m_encoders) patternLists << encoder.filePatterns;
    m_extensions = ExtensionMap::fromPatternLists(patternLists);
}

bool PictureWriter::write(const QImage& picture, const QString& fileName, qint32 quality) {
    const QString extension = fileExtension(fileName);
    const std::optional<qint32> index = m_extensions.find(QStringLiteral("*.") + extension);
    if (!index) return false;
    if (picture.isNull()) return false;

    // A picture holder shows an opaque bitmap: whatever alpha the picture carries is not
    // part of what gets saved.
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    if (opaque.isNull()) return fail(GdiStatus::OutOfMemory);

    std::optional<qint32> jpegQuality;
    if (extension.startsWith(u'J') || extension.startsWith(u'j')) jpegQuality = quality;
    const GdiStatus status =
        writeImageFile(m_encoders[static_cast<size_t>(*index)], opaque, fileName, jpegQuality);
    return status == GdiStatus::Ok || fail(status);
}

bool PictureWriter::fail(GdiStatus status) {
    const auto code = static_cast<qint32>(status);
    emit Error(code, statusText(code));
    return false;
}

QString PictureWriter::statusText(qint32 lError) {
    static constexpr std::array<const char*, 21> kTexts{
        nullptr,
        "Generic Error",
        "Invalid Parameter",
        "Out Of Memory",
        "Object Busy",
        "Insufficient Buffer",
        "Not Implemented",
        "Win32 Error",
        "Wrong State",
        "Aborted",
        "File Not Found",
        "Value Overflow",
        "Access Denied",
        "Unknown Image Format",
        "FontFamily Not Found",
        "FontStyle Not Found",
        "Not TrueType Font",
        "Unsupported Gdiplus Version",
        "Gdiplus Not Initialized",
        "Property Not Found",
        "Property Not Supported",
    };
    if (lError >= 1 && lError < static_cast<qint32>(kTexts.size()))
        return QString::fromLatin1(kTexts[static_cast<size_t>(lError)]);
    return QStringLiteral("Unknown GDI+ Error");
}

} // namespace vexa
