#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

#include <functional>

class QKeyEvent;
class QWidget;
class QWindow;

namespace vexa::notify {

// Keeps a notice with the main window where it is that window's popup (Wayland, see
// popupsAnchoredToHost): it stands over the main window, shows only while the main window does
// (the compositor drops a popup whose owner is hidden, and nothing would bring it back), and
// answers the keys typed into the main window, which keeps the keyboard: a popup that grabs
// none never gets the keyboard focus.
class NoticeAnchor : public QObject {
    Q_OBJECT
public:
    // `answerKey` handles a key press for the notice and says whether it did.
    NoticeAnchor(QWidget& notice, QWidget& host, std::function<bool(const QKeyEvent&)> answerKey);

    // Places the notice over the host as the `openCount`-th popup of a stack and returns its
    // rectangle; it shows with show().
    QRect place(int openCount);
    // Shows the notice now, or once the host shows when it is hidden.
    void show();

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showOverHost();

    QWidget& m_notice;
    QPointer<QWidget> m_host;
    QPointer<QWindow> m_keySource;
    std::function<bool(const QKeyEvent&)> m_answerKey;
    int m_openCount = 1;
    bool m_wanted = false;
};

} // namespace vexa::notify
