#include "app/PastedPicture.h"

#include "app/SlotDropTarget.h"
#include "core/picture/PictureFile.h"

#include <QMimeData>

namespace vexa::app {

namespace {

// Picture file types a copying program may offer, lossless ones first.
constexpr const char* kPictureTypes[] = {"image/png", "image/bmp",  "image/tiff",
                                         "image/gif", "image/webp", "image/jpeg"};

} // namespace

std::optional<SlotLoad> pastedPicture(cover::CoverKind kind, const QMimeData* data) {
    if (!data) return std::nullopt;
    // Another program's picture arrives as a file's bytes. Asking Qt for it as an image would
    // decode those on this thread, past the loader's checks for damaged files and pictures
    // larger than their data can hold; so the bytes go to the loader like a file does.
    for (const char* type : kPictureTypes) {
        const QString format = QLatin1String(type);
        if (!data->hasFormat(format)) continue;
        const QByteArray bytes = data->data(format);
        if (!bytes.isEmpty() && bytes.size() <= picture::kMaxPictureFileBytes)
            return SlotLoad{kind, {}, QImage(), bytes};
    }
    if (data->hasImage()) { // a picture copied inside VEXA itself: decoded already
        const QImage picture = qvariant_cast<QImage>(data->imageData());
        if (!picture.isNull()) return SlotLoad{kind, {}, picture, QByteArray()};
    }
    const QStringList files = SlotDropTarget::localFiles(data);
    if (!files.isEmpty()) return SlotLoad{kind, files, QImage(), QByteArray()};
    return std::nullopt;
}

} // namespace vexa::app
