#include "PictureHolder.h"

#include <QMouseEvent>
#include <QPainter>

namespace vexa {

PictureHolder::PictureHolder(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureHolder::setPicture(const QImage& picture) {
    m_picture = picture;
    m_shown = QPixmap();
    update();
}

void PictureHolder::setFramed(bool framed) {
    m_framed = framed;
    update();
}

void PictureHolder::setMarked(bool marked) {
    if (m_marked == marked) return;
    m_marked = marked;
    update();
}

void PictureHolder::setPlaceholderText(const QString& text) {
    m_placeholder = text;
    update();
}

void PictureHolder::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect area = rect();
    if (m_framed) {
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        area.adjust(1, 1, -1, -1);
    }
    if (m_marked) {
        const QColor highlight = palette().color(QPalette::Highlight);
        for (int ring = 0; ring < kMarkWidth; ++ring) {
            painter.setPen(highlight);
            painter.drawRect(area.adjusted(0, 0, -1, -1));
            area.adjust(1, 1, -1, -1);
        }
    }
    if (area.isEmpty()) return;
    if (m_picture.isNull()) {
        if (!m_placeholder.isEmpty()) {
            painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
            painter.drawText(area.adjusted(24, 0, -24, 0), Qt::AlignCenter | Qt::TextWordWrap,
                             m_placeholder);
        }
        return;
    }
    const QSize target = area.size() * devicePixelRatioF();
    if (m_shown.isNull() || m_shown.size() != target) {
        m_shown = QPixmap::fromImage(
            m_picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        m_shown.setDevicePixelRatio(devicePixelRatioF());
    }
    painter.drawPixmap(area.topLeft(), m_shown);
}

void PictureHolder::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

} // namespace vexa
