#include "PastedPicture.h"

#include "SlotDropTarget.h"

#include <QMimeData>

namespace vexa {

std::optional<SlotLoad> pastedPicture(const QString& slotName, const QMimeData* data) {
    if (!data) return std::nullopt;
    if (data->hasImage()) {
        const QImage picture = qvariant_cast<QImage>(data->imageData());
        if (!picture.isNull()) return SlotLoad{slotName, {}, picture};
    }
    const QStringList files = SlotDropTarget::localFiles(data);
    if (!files.isEmpty()) return SlotLoad{slotName, files, QImage()};
    return std::nullopt;
}

} // namespace vexa
