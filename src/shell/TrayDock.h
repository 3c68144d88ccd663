#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>
#include <optional>

class QMenu;
class QWidget;

namespace vexa::shell {

// Puts the main window into the notification area when it is minimised and brings it back on
// a click on the icon or its menu's Restore; the menu's Exit closes the window. Where the
// desktop has no notification area, hiding the window would leave no way back, so it is then
// minimised to the task bar as usual.
class TrayDock : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kToolTip = "VEXA 6";

    // The window to dock; the icon is the window's own.
    explicit TrayDock(QWidget* window);
    ~TrayDock() override;

    // True from the moment the icon is added until the window is restored.
    bool inTray() const { return m_inTray; }

    // The window's resize handling calls this when it finds the window minimised. The window
    // is hidden once the event loop is back, since the code that minimised it may still be
    // showing it (QWidget::showMinimized does).
    void windowMinimised();

    // Adds the icon with the tool tip "VEXA 6"; a desktop that refuses it is not reported.
    void hideInTray();

    // Leaves the tray: the window (when showWindow is true) becomes visible at its normal size
    // where it was before, and comes to the front; the icon goes.
    void leaveTray(bool showWindow);

    // The icon while the window is in the tray; nullptr otherwise.
    QSystemTrayIcon* trayIcon() const { return m_icon; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static constexpr int kReturnWindowMs = 1000;

    void dock();
    void returnToRestorePosition();
    void iconActivated(QSystemTrayIcon::ActivationReason reason);
    void bringToFront();
    void exitFromTray();

    QPointer<QWidget> m_window;
    QSystemTrayIcon* m_icon = nullptr;
    std::unique_ptr<QMenu> m_menu; // the icon's context menu: Restore, Exit
    bool m_inTray = false;
    bool m_dockPending = false;
    std::optional<QPoint> m_restorePosition; // where the window's inside stood when docked
};

} // namespace vexa::shell
