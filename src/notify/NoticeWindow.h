#pragma once

#include "notify/GradientPainter.h"
#include "notify/PopupGeometry.h"
#include "notify/PopupLayout.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <map>
#include <optional>

class QKeyEvent;
class QLabel;
class QPushButton;
class QSoundEffect;
class QTimer;

namespace vexa::widgets {
class CoverHost;
class PictureHolder;
} // namespace vexa::widgets

namespace vexa::notify {

class NoticeAnchor;

// What both notification popups share: a frameless window that stays on top, slides up from the
// bottom of the screen with a gradient background and a chime, and waits for a button. While it
// is up the main window is disabled; however the popup goes, the main window is enabled again.
// The popup takes the keyboard focus, so it can be answered without a mouse.
// Where a window cannot place itself on the screen (Wayland), the popup is the main window's
// instead: it rises from the main window's bottom edge, and the keys typed into the main window
// answer it (see NoticeAnchor).
// Popups delete themselves when they close.
class NoticeWindow : public QWidget {
    Q_OBJECT
public:
    ~NoticeWindow() override;

    // The window's load: disables the main window, shows the buttons of the popup kind and
    // displays the message for 3000 ms.
    void load();

    // Counts the popup in, places it as a thin strip at the bottom of the screen (higher when
    // others are open), shows it, plays the chime, paints the gradient and starts the slide-in.
    void display(const QString& message, std::int32_t displayTime);

    std::int16_t popupIndex() const { return m_popupIndex; }
    // Whether the popup stands over the main window rather than at screen coordinates.
    bool anchoredToHost() const { return m_anchor != nullptr; }
    const notify::TwipsRect& twipsGeometry() const { return m_rect; }
    const QString& popupKind() const { return m_kind; }

    widgets::PictureHolder* background() const { return m_background; }
    QLabel* messageLabel() const { return m_label; }
    QPushButton* button(notify::PopupButton which) const;
    QTimer* slideInTimer() const { return m_tmrOpen; }
    QTimer* slideOutTimer() const { return m_tmrClose; }
    QTimer* displayTimer() const { return m_tmrAlert; }
    const GradientPainter* gradient() const;
    QSoundEffect* alertSound() const { return m_sound; }

    // The timers' handlers, one tick each.
    void slideInStep();
    void slideOutStep();
    void displayTimeUp();

protected:
    NoticeWindow(widgets::CoverHost& host, const notify::PopupDesign& design, QString message,
                 QString kind);

    // Starts sinking the popup below the screen edge; it closes when low enough.
    void startSlideOut();

    void closeEvent(QCloseEvent* event) override;
    // Enter presses the default button (the first one shown), Escape the last one (Cancel, or
    // Ok when that is the only one).
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildBackground(const notify::PopupDesign& design);
    void placeOnScreen();
    void placeOverHost();
    void applyGeometry();
    // Presses the button Enter or Escape stands for; false for any other key.
    bool answerKey(const QKeyEvent& event);
    // Enables the main window and gives the stack position back; once only.
    void finish();

    const notify::PopupDesign& m_design;
    QPointer<QWidget> m_hostWindow;
    QString m_message;
    QString m_kind;

    widgets::PictureHolder* m_background = nullptr;
    QLabel* m_label = nullptr;
    std::map<notify::PopupButton, QPushButton*> m_buttons;
    QPushButton* m_defaultButton = nullptr;
    QPushButton* m_escapeButton = nullptr;
    QTimer* m_tmrOpen = nullptr;
    QTimer* m_tmrClose = nullptr;
    QTimer* m_tmrAlert = nullptr;
    QSoundEffect* m_sound = nullptr;
    std::optional<GradientPainter> m_gradient;
    NoticeAnchor* m_anchor = nullptr;

    notify::ScreenTwips m_screen;
    notify::TwipsRect m_rect;
    double m_fullHeight = 0;
    std::int16_t m_popupIndex = 0;
    bool m_counted = false;
    bool m_finished = false;
    bool m_locked = false; // it holds the main window (see NoticeLock.h)
};

} // namespace vexa::notify
