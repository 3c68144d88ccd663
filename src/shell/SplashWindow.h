#pragma once

#include "shell/SplashFade.h"

#include <QWidget>

#include <functional>

class QTimer;

namespace vexa::shell {

// The program's first window: the splash picture fades in, stays for a while, fades out, and
// then the splash closes and the main window is created. Keys and close requests do nothing;
// the splash cannot be skipped.
class SplashWindow : public QWidget {
    Q_OBJECT
public:
    // showMainWindow runs once, right after the splash has closed.
    explicit SplashWindow(std::function<void()> showMainWindow);

    // Load: alpha 5, then the fade-in and the hold timer start and the splash shows.
    void start();

    const SplashFade& fade() const { return m_fade; }
    QTimer* tmrFadeIn() const { return m_tmrFadeIn; }
    QTimer* tmrHold() const { return m_tmrHold; }
    QTimer* tmrFadeOut() const { return m_tmrFadeOut; }

    // The timers' handlers, one tick each.
    void tmrFadeIn_Timer();
    void tmrHold_Timer();
    void tmrFadeOut_Timer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void finish();

    std::function<void()> m_showMainWindow;
    SplashFade m_fade;
    QImage m_picture;
    QTimer* m_tmrFadeIn = nullptr;
    QTimer* m_tmrHold = nullptr;
    QTimer* m_tmrFadeOut = nullptr;
    bool m_closing = false;
};

} // namespace vexa::shell
