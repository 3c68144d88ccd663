#include "shell/TrayDock.h"

#include "shell/WindowOrder.h"

#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>

namespace vexa::shell {

TrayDock::TrayDock(QWidget* window) : m_window(window) {}

TrayDock::~TrayDock() = default;

void TrayDock::windowMinimised() {
    if (!m_window) return;
    if (m_inTray) {
        // Reported while the window comes back from the tray.
        bringToFront();
        return;
    }
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return; // no notification area: the window stays minimised on the task bar
    if (!m_dockPending) {
        m_dockPending = true;
        QMetaObject::invokeMethod(this, &TrayDock::dock, Qt::QueuedConnection);
    }
}

void TrayDock::dock() {
    m_dockPending = false;
    if (!m_window || !m_window->isMinimized() || m_inTray) return; // restored in the meantime
    // A window mapped again is placed afresh by the window manager, unless it asks for a place.
    // The inside's position: the frame's is not known while the window is being mapped again.
    m_restorePosition = m_window->geometry().topLeft();
    m_window->hide();
    hideInTray();
    m_inTray = true;
}

void TrayDock::hideInTray() {
    if (!m_window) return;
    if (!m_icon) {
        m_icon = new QSystemTrayIcon(this);
        m_icon->setToolTip(QString::fromLatin1(kToolTip));
        connect(m_icon, &QSystemTrayIcon::activated, this, &TrayDock::iconActivated);
        if (!m_menu) {
            m_menu = std::make_unique<QMenu>();
            QAction* restore = m_menu->addAction(QStringLiteral("&Restore"));
            restore->setObjectName(QStringLiteral("trayRestoreAction"));
            connect(restore, &QAction::triggered, this, [this] { leaveTray(true); });
            QAction* exit = m_menu->addAction(QStringLiteral("E&xit"));
            exit->setObjectName(QStringLiteral("trayExitAction"));
            connect(exit, &QAction::triggered, this, &TrayDock::exitFromTray);
        }
        m_icon->setContextMenu(m_menu.get());
    }
    m_icon->setIcon(m_window->windowIcon());
    m_icon->show();
}

void TrayDock::leaveTray(bool showWindow) {
    if (m_window && showWindow) {
        m_window->showNormal();
        returnToRestorePosition();
        bringToFront();
    }
    if (m_icon) {
        m_icon->hide();
        m_icon->deleteLater();
        m_icon = nullptr;
    }
    m_inTray = false;
}

void TrayDock::exitFromTray() {
    if (!m_window) return;
    // Closing the window ends the program; a window that refuses (a notice waits for an
    // answer) comes back, so the user sees why.
    const bool closed = m_window->close();
    leaveTray(!closed);
}

void TrayDock::returnToRestorePosition() {
    if (!m_restorePosition) return;
    // The window manager places a window it maps again as if it were new, and only then
    // takes a position from it: every move it makes within the next moment is answered
    // with the old position, until the window stands there. Later moves are the user's.
    m_window->installEventFilter(this);
    m_window->setGeometry(QRect(*m_restorePosition, m_window->size()));
    QTimer::singleShot(kReturnWindowMs, this, [this] {
        m_restorePosition.reset();
        if (m_window) m_window->removeEventFilter(this);
    });
}

bool TrayDock::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Move && m_restorePosition) {
        if (m_window->geometry().topLeft() != *m_restorePosition) {
            m_window->setGeometry(QRect(*m_restorePosition, m_window->size()));
        } else {
            m_restorePosition.reset(); // arrived
            m_window->removeEventFilter(this);
        }
    }
    return QObject::eventFilter(watched, event);
}

void TrayDock::iconActivated(QSystemTrayIcon::ActivationReason reason) {
    // One activation brings the window back: a StatusNotifierItem host reports every click as
    // Trigger and never a double click. On an X notification area a double click reports
    // Trigger first, which already restored the window. The other buttons do nothing.
    const bool activation =
        reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick;
    if (activation && m_inTray) leaveTray(true);
}

void TrayDock::bringToFront() {
    // On top for a moment, then ordinary again: the window ends up in front of all others
    // without staying above them. The second half waits for the events that showing the
    // window has queued (its mapping, its new state) to be handled first.
    keepAboveOthers(m_window);
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_window) return;
            stopKeepingAbove(m_window);
            bringToForeground(m_window);
        },
        Qt::QueuedConnection);
}

} // namespace vexa::shell
