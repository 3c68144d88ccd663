#include "print/RememberedSelection.h"

#include "core/base/NumberText.h"
#include "core/cover/CoverFormats.h"
#include "core/settings/Settings.h"

#include <QList>
#include <utility>

namespace vexa::print {

cover::CoverKinds rememberedSelection(cover::CoverKinds current) {
    // Front decides whether the rest is read at all.
    const QString front =
        settings::readSetting(settings::coverSelectionKey(cover::kCoverFormats[0].key));
    if (!base::textToInt16(front)) return {};
    current.setFlag(cover::CoverKind::Front, front == QLatin1String("-1"));
    for (std::size_t i = 1; i < cover::kCoverFormats.size(); ++i) {
        const cover::CoverFormat& kind = cover::kCoverFormats[i];
        if (settings::readSetting(settings::coverSelectionKey(kind.key)) == QLatin1String("-1"))
            current ^= kind.id;
    }
    return current;
}

void rememberSelection(cover::CoverKinds selection) {
    // A file that cannot be written loses the selection silently, like every setting. One
    // replacement of the file for all eleven, so that pressing Print does not wait for eleven.
    QList<std::pair<settings::SettingKey, QString>> values;
    for (const cover::CoverFormat& kind : cover::kCoverFormats)
        values.append({settings::coverSelectionKey(kind.key),
                       selection.testFlag(kind.id) ? QStringLiteral("-1") : QStringLiteral("0")});
    settings::writeSettings(values);
}

} // namespace vexa::print
