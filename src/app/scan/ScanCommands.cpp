#include "ScanCommands.h"

#include "ImageEncoders.h"
#include "PictureFile.h"
#include "PictureHolder.h"
#include "PictureWriter.h"
#include "ProgramFolder.h"

#include <QFile>
#include <QFileInfo>

namespace vexa::scan {

namespace {
const char* const kTransferFile = "temp.bmp";
const char* const kSaveFilter = "BMP|*.BMP|GIF|*.GIF|JPG|*.JPG|PNG|*.PNG|TIF|*.TIF";
constexpr qint32 kJpegQuality = 85;
} // namespace

void ScanCommands::source() {
    m_scanner.selectImageSource();
}

void ScanCommands::acquire() {
    const QString path = scanTransferFile(QLatin1String(kTransferFile));
    const qint16 result = m_scanner.acquireToFilename(path);
    // A file that was reported written but cannot be read counts as a failed scan; it stays
    // in place, to be overwritten by the next one.
    const QImage picture = result == 0 ? loadPictureFile(path) : QImage();
    if (picture.isNull()) {
        const QString message = QStringLiteral("Unable to aquire image!");
        m_prompts.message(message, message, UserPrompts::Icon::Error);
        return;
    }
    m_scanned.setPicture(picture);
    QFile::remove(path);
}

void ScanCommands::save(PictureWriter& writer) {
    const QImage picture = m_scanned.picture(); // Picture3: the copy that gets written
    auto notSaved = [this] {
        m_prompts.message(QStringLiteral("File Not Saved"), QStringLiteral("Unable to save file."),
                          UserPrompts::Icon::Error);
    };
    const std::optional<QString> name = m_prompts.saveFileName(QLatin1String(kSaveFilter));
    if (!name || name->isEmpty()) return notSaved();
    if (const QFileInfo existing(*name);
        existing.exists() && !existing.isDir() &&
        !m_prompts.askYesNo(
            *name + QStringLiteral(" already exists. Do you want to replace this file?"),
            QStringLiteral("File Already Exists")))
        return;
    const bool saved = name->endsWith(QLatin1String("BMP"), Qt::CaseSensitive)
                           ? writeBitmapFile(picture, *name).ok()
                           : writer.write(picture, *name, kJpegQuality).ok();
    if (!saved) return notSaved();
    m_prompts.message(QStringLiteral("File Saved"), QStringLiteral("Sucessfully saved file."),
                      UserPrompts::Icon::Information);
}

} // namespace vexa::scan
