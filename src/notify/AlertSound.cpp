#include "notify/AlertSound.h"

#include "core/base/ProgramFolder.h"

#include <QFileInfo>
#include <QSoundEffect>
#include <QUrl>

namespace vexa::notify {

QSoundEffect* playAlertSound(QObject* owner) {
    const QString path = base::sharedDataFile(QStringLiteral("alert.wav"));
    if (!QFileInfo(path).isFile()) return nullptr;
    auto* sound = new QSoundEffect(owner);
    sound->setSource(QUrl::fromLocalFile(path));
    sound->play();
    return sound;
}

} // namespace vexa::notify
