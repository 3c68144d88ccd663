#include "widgets/WindowGeometry.h"

#include "core/settings/Settings.h"

#include <QByteArray>
#include <QWidget>

namespace vexa::widgets {

void saveWindowGeometry(const QWidget& window, settings::SettingKey key) {
    // Like every setting, a file that cannot be written loses it silently.
    settings::writeSetting(key, QString::fromLatin1(window.saveGeometry().toBase64()));
}

bool restoreWindowGeometry(QWidget& window, settings::SettingKey key) {
    const QByteArray saved = QByteArray::fromBase64(settings::readSetting(key).toLatin1(),
                                                    QByteArray::AbortOnBase64DecodingErrors);
    return !saved.isEmpty() && window.restoreGeometry(saved);
}

} // namespace vexa::widgets
