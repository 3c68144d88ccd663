#include "shell/SplashWindow.h"

#include "shell/SplashPicture.h"
#include "shell/WindowAlpha.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <utility>

namespace vexa::shell {

namespace {

QTimer* makeTimer(QObject* parent, int intervalMs) {
    auto* timer = new QTimer(parent);
    timer->setInterval(intervalMs);
    timer->setTimerType(Qt::PreciseTimer); // 5 ms steps: a coarse timer would stretch the fade
    return timer;
}

} // namespace

SplashWindow::SplashWindow(std::function<void()> showMainWindow)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_showMainWindow(std::move(showMainWindow)), m_picture(splashPicture()) {
    setObjectName(QStringLiteral("splashWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the splash must not end the program: the main window comes right after it.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(m_picture.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area(QPoint(), size());
        area.moveCenter(screen->availableGeometry().center());
        move(area.topLeft());
    }

    m_tmrFadeIn = makeTimer(this, SplashFade::kTickMs);
    m_tmrHold = makeTimer(this, SplashFade::kHoldMs);
    m_tmrFadeOut = makeTimer(this, SplashFade::kTickMs);
    connect(m_tmrFadeIn, &QTimer::timeout, this, &SplashWindow::tmrFadeIn_Timer);
    connect(m_tmrHold, &QTimer::timeout, this, &SplashWindow::tmrHold_Timer);
    connect(m_tmrFadeOut, &QTimer::timeout, this, &SplashWindow::tmrFadeOut_Timer);
}

void SplashWindow::start() {
    m_tmrFadeOut->stop();
    m_fade.load();
    setWindowAlpha(this, static_cast<std::uint8_t>(m_fade.alpha())); // opaque if refused
    m_tmrFadeIn->start();
    m_tmrHold->start();
    show();
}

void SplashWindow::tmrFadeIn_Timer() {
    if (const auto alpha = m_fade.fadeInTick())
        setWindowAlpha(this, static_cast<std::uint8_t>(*alpha));
    if (!m_fade.fadingIn()) m_tmrFadeIn->stop();
    if (m_fade.fadingOut() && !m_tmrFadeOut->isActive())
        m_tmrFadeOut->start(); // the hold had passed before the splash was opaque
}

void SplashWindow::tmrHold_Timer() {
    m_fade.holdElapsed();
    if (m_fade.fadingOut() && !m_tmrFadeOut->isActive()) m_tmrFadeOut->start();
}

void SplashWindow::tmrFadeOut_Timer() {
    if (const auto alpha = m_fade.fadeOutTick())
        setWindowAlpha(this, static_cast<std::uint8_t>(*alpha));
    if (m_fade.finished()) finish();
}

void SplashWindow::finish() {
    if (m_closing) return;
    m_closing = true;
    m_tmrFadeIn->stop();
    m_tmrHold->stop();
    m_tmrFadeOut->stop();
    auto showMainWindow = std::move(m_showMainWindow);
    close(); // deletes the splash later, once control is back in the event loop
    if (showMainWindow) showMainWindow();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), m_picture);
}

void SplashWindow::keyPressEvent(QKeyEvent* event) {
    event->accept();
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    if (m_closing)
        event->accept();
    else
        event->ignore(); // Alt+F4 and the like: the splash runs to its end
}

} // namespace vexa::shell
