#pragma once

#include "shell/SplashFade.h"

#include <QWidget>

#include <functional>

class QTimer;

namespace vexa::shell {

// The program's first window: the splash picture fades in, stays for a while, fades out, and
// then the splash closes and the main window is created. A click or Escape skips it; other keys
// and close requests do nothing.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // showMainWindow runs once, right after the splash has closed.
    explicit SplashWindow(std::function<void()> showMainWindow);

    // Load: alpha 5, then the fade-in and the hold timer start and the splash shows.
    void start();

    const SplashFade& fade() const { return m_fade; }
    QTimer* fadeInTimer() const { return m_fadeInTimer; }
    QTimer* holdTimer() const { return m_holdTimer; }
    QTimer* fadeOutTimer() const { return m_fadeOutTimer; }

    // The timers' handlers, one tick each.
    void fadeInStep();
    void holdTimeUp();
    void fadeOutStep();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void finish();

    std::function<void()> m_showMainWindow;
    SplashFade m_fade;
    QImage m_picture;
    QTimer* m_fadeInTimer = nullptr;
    QTimer* m_holdTimer = nullptr;
    QTimer* m_fadeOutTimer = nullptr;
    bool m_closing = false;
};

} // namespace vexa::shell
