#include "scan/ScanCommands.h"

#include "imageio/ImageEncoders.h"
#include "imageio/PictureWriter.h"
#include "widgets/PictureHolder.h"

#include <QFileInfo>

namespace vexa::scan {

namespace {
const char* const kSaveFilter = "BMP|*.BMP|GIF|*.GIF|JPG|*.JPG|PNG|*.PNG|TIF|*.TIF";
constexpr qint32 kJpegQuality = 85;
} // namespace

void ScanCommands::source() {
    m_scanner.selectImageSource();
}

void ScanCommands::acquire() {
    const AcquiredScan scan = m_scanner.acquire();
    if (scan.status == AcquiredScan::Status::NoScanner) {
        m_prompts.message(QStringLiteral("No scanner was found. Connect a scanner and choose it "
                                         "with Source."),
                          QStringLiteral("Unable to acquire image!"), UserPrompts::Icon::Error);
        return;
    }
    if (scan.status != AcquiredScan::Status::Scanned || scan.picture.isNull()) {
        const QString message = QStringLiteral("Unable to acquire image!");
        m_prompts.message(message, message, UserPrompts::Icon::Error);
        return;
    }
    m_scanned.setPicture(scan.picture);
}

void ScanCommands::save(imageio::PictureWriter& writer) {
    const QImage picture = m_scanned.picture(); // Picture3: the copy that gets written
    auto notSaved = [this] {
        m_prompts.message(QStringLiteral("File Not Saved"), QStringLiteral("Unable to save file."),
                          UserPrompts::Icon::Error);
    };
    if (picture.isNull()) {
        m_prompts.message(QStringLiteral("There is no scanned picture to save. Scan one with "
                                         "Acquire first."),
                          QStringLiteral("File Not Saved"), UserPrompts::Icon::Error);
        return;
    }
    const std::optional<QString> name = m_prompts.saveFileName(QLatin1String(kSaveFilter));
    if (!name || name->isEmpty()) return notSaved();
    if (const QFileInfo existing(*name);
        existing.exists() && !existing.isDir() &&
        !m_prompts.askYesNo(
            *name + QStringLiteral(" already exists. Do you want to replace this file?"),
            QStringLiteral("File Already Exists")))
        return;
    const bool saved = name->endsWith(QLatin1String("BMP"), Qt::CaseSensitive)
                           ? imageio::writeBitmapFile(picture, *name).ok()
                           : writer.write(picture, *name, kJpegQuality).ok();
    if (!saved) return notSaved();
    m_prompts.message(QStringLiteral("File Saved"), QStringLiteral("Successfully saved file."),
                      UserPrompts::Icon::Information);
}

} // namespace vexa::scan
