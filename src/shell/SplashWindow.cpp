#include "shell/SplashWindow.h"

#include "shell/SplashPicture.h"
#include "shell/WindowAlpha.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
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

    m_fadeInTimer = makeTimer(this, SplashFade::kTickMs);
    m_holdTimer = makeTimer(this, SplashFade::kHoldMs);
    m_fadeOutTimer = makeTimer(this, SplashFade::kTickMs);
    connect(m_fadeInTimer, &QTimer::timeout, this, &SplashWindow::fadeInStep);
    connect(m_holdTimer, &QTimer::timeout, this, &SplashWindow::holdTimeUp);
    connect(m_fadeOutTimer, &QTimer::timeout, this, &SplashWindow::fadeOutStep);
}

void SplashWindow::start() {
    m_fadeOutTimer->stop();
    m_fade.load();
    setWindowAlpha(this, static_cast<std::uint8_t>(m_fade.alpha())); // opaque if refused
    m_fadeInTimer->start();
    m_holdTimer->start();
    show();
}

void SplashWindow::fadeInStep() {
    if (const auto alpha = m_fade.fadeInTick())
        setWindowAlpha(this, static_cast<std::uint8_t>(*alpha));
    if (!m_fade.fadingIn()) m_fadeInTimer->stop();
    if (m_fade.fadingOut() && !m_fadeOutTimer->isActive())
        m_fadeOutTimer->start(); // the hold had passed before the splash was opaque
}

void SplashWindow::holdTimeUp() {
    m_fade.holdElapsed();
    if (m_fade.fadingOut() && !m_fadeOutTimer->isActive()) m_fadeOutTimer->start();
}

void SplashWindow::fadeOutStep() {
    if (const auto alpha = m_fade.fadeOutTick())
        setWindowAlpha(this, static_cast<std::uint8_t>(*alpha));
    if (m_fade.finished()) finish();
}

void SplashWindow::finish() {
    if (m_closing) return;
    m_closing = true;
    m_fadeInTimer->stop();
    m_holdTimer->stop();
    m_fadeOutTimer->stop();
    auto showMainWindow = std::move(m_showMainWindow);
    close(); // deletes the splash later, once control is back in the event loop
    if (showMainWindow) showMainWindow();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(rect(), m_picture);
}

void SplashWindow::keyPressEvent(QKeyEvent* event) {
    // Escape skips the splash; other keys do nothing.
    event->accept();
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) finish();
}

void SplashWindow::mouseReleaseEvent(QMouseEvent* event) {
    // A click skips the splash.
    event->accept();
    if (event->button() == Qt::LeftButton) finish();
}

void SplashWindow::closeEvent(QCloseEvent* event) {
    if (m_closing)
        event->accept();
    else
        event->ignore(); // Alt+F4 and the like: the splash runs to its end
}

} // namespace vexa::shell
