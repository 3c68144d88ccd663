#include "about/CreditsScroller.h"

#include "widgets/AccessibleRole.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTimer>

#include <utility>

namespace vexa::about {

CreditsScroller::CreditsScroller(QStringList lines, QWidget* parent)
    : QWidget(parent), m_lines(std::move(lines)),
      m_scroll(0, QFontMetrics(font()).lineSpacing() * static_cast<int>(m_lines.size())) {
    setObjectName(QStringLiteral("credits"));
    // Read out whole: a screen reader cannot follow the scrolling lines.
    widgets::setAccessibleRole(this, QAccessible::StaticText);
    setAccessibleName(QStringLiteral("Credits"));
    setAccessibleDescription(m_lines.join(QLatin1Char('\n')));
    setMinimumSize(260, 120);
    m_timer = new QTimer(this);
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &CreditsScroller::tick);
}

int CreditsScroller::textHeight() const {
    return fontMetrics().lineSpacing() * static_cast<int>(m_lines.size());
}

void CreditsScroller::start() {
    m_timer->start();
}

void CreditsScroller::stop() {
    m_timer->stop();
}

bool CreditsScroller::isRunning() const {
    return m_timer->isActive();
}

void CreditsScroller::tick() {
    m_scroll.tick();
    update();
}

void CreditsScroller::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    m_scroll.setViewHeight(height());
}

void CreditsScroller::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    const int lineHeight = fontMetrics().lineSpacing();
    int top = m_scroll.textTop();
    for (const QString& line : m_lines) {
        if (top + lineHeight > 0 && top < height())
            painter.drawText(QRect(0, top, width(), lineHeight), Qt::AlignHCenter, line);
        top += lineHeight;
    }
    painter.setPen(palette().mid().color());
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace vexa::about
