#include "notify/NoticeLock.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace vexa::notify {

namespace {

// Kept on the host window itself, so that each main window counts its own notices.
class NoticeLock : public QObject {
public:
    explicit NoticeLock(QWidget* host) : QObject(host) {
        setObjectName(QStringLiteral("noticeLock"));
    }
    int count = 0;
    QPointer<QWidget> focus;
};

NoticeLock* lockOf(QWidget* host) {
    auto* lock =
        host->findChild<NoticeLock*>(QStringLiteral("noticeLock"), Qt::FindDirectChildrenOnly);
    return lock ? lock : new NoticeLock(host);
}

} // namespace

void lockForNotice(QWidget* host) {
    if (!host) return;
    NoticeLock* lock = lockOf(host);
    if (lock->count++ == 0) {
        QWidget* focus = QApplication::focusWidget();
        lock->focus =
            focus && (focus == host || host->isAncestorOf(focus)) ? focus : host->focusWidget();
        host->setEnabled(false);
    }
}

void unlockAfterNotice(QWidget* host) {
    if (!host) return;
    NoticeLock* lock = lockOf(host);
    if (lock->count == 0 || --lock->count > 0) return;
    host->setEnabled(true);
    if (QWidget* focus = lock->focus.data(); focus && focus->isEnabled() && host->isVisible()) {
        host->activateWindow();
        focus->setFocus(Qt::OtherFocusReason);
    }
    lock->focus = nullptr;
}

} // namespace vexa::notify
