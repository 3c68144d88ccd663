#include "imageio/PictureWriter.h"

namespace vexa::imageio {

PictureWriter::PictureWriter() : m_encoders(installedEncoders()) {
    QStringList patternLists;
    for (const ImageEncoder& encoder : m_encoders) patternLists << encoder.filePatterns;
    m_extensions = ExtensionMap::fromPatternLists(patternLists);
}

WriteResult PictureWriter::write(const QImage& picture, const QString& fileName, qint32 quality) {
    return write(picture, base::FilePath::fromText(fileName), quality);
}

WriteResult PictureWriter::write(const QImage& picture, const base::FilePath& fileName,
                                 qint32 quality) {
    const QString extension = fileExtension(fileName.text());
    const std::optional<qint32> index = m_extensions.find(QStringLiteral("*.") + extension);
    if (!index) return {WriteStatus::UnknownFormat, 0};
    if (picture.isNull()) return {WriteStatus::NoPicture, 0};

    // A picture holder shows an opaque bitmap: whatever alpha the picture carries is not
    // part of what gets saved.
    const QImage opaque = picture.convertToFormat(QImage::Format_RGB32);
    if (opaque.isNull()) return {WriteStatus::OutOfMemory, 0};

    std::optional<qint32> jpegQuality;
    if (extension.startsWith(u'J') || extension.startsWith(u'j')) jpegQuality = quality;
    return writeImageFile(m_encoders[static_cast<size_t>(*index)], opaque, fileName, jpegQuality);
}

} // namespace vexa::imageio
