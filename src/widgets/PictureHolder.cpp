#include "widgets/PictureHolder.h"

#include "widgets/AccessibleRole.h"
#include "widgets/Letterbox.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace vexa::widgets {

PictureHolder::PictureHolder(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setAccessibleRole(this, QAccessible::Graphic);
}

PictureHolder::~PictureHolder() {
    m_scaler.abandon();
}

void PictureHolder::setPicture(const QImage& picture) {
    m_picture = picture;
    ++m_pictureNumber;
    m_shown = QPixmap();
    m_scaling = QSize();
    updateAccessibleName();
    update();
}

void PictureHolder::setSubject(const QString& subject) {
    m_subject = subject;
    updateAccessibleName();
}

void PictureHolder::updateAccessibleName() {
    if (m_subject.isEmpty()) return;
    setAccessibleName(m_subject + (hasPicture() ? QStringLiteral(", with a picture")
                                                : QStringLiteral(", no picture")));
}

void PictureHolder::makeShown(const QSize& target, qreal ratio) {
    const std::int64_t pixels = std::int64_t(m_picture.width()) * m_picture.height();
    if (pixels <= kScaleOnWorkerPixels) {
        m_shown = QPixmap::fromImage(
            m_picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    } else {
        // Nearest pixels only: reads no more pixels than it writes.
        m_shown = QPixmap::fromImage(
            m_picture.scaled(target, Qt::IgnoreAspectRatio, Qt::FastTransformation));
        if (m_scaling != target) {
            m_scaling = target;
            // The worker gets its own reference to the pixels; a copy that arrives for an
            // earlier picture or size is dropped, and one asked for meanwhile is not made.
            m_scaler.clearQueue();
            m_scaler.enqueueWithResult(
                [picture = m_picture, target](base::JobControl&) {
                    return picture.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                },
                [this, target, number = m_pictureNumber](const QImage& scaled) {
                    scaledOnWorker(scaled, target, number);
                });
        }
    }
    m_shown.setDevicePixelRatio(ratio);
}

void PictureHolder::scaledOnWorker(const QImage& scaled, const QSize& target,
                                   std::uint64_t picture) {
    if (picture != m_pictureNumber || target != m_scaling) return;
    m_scaling = QSize();
    if (scaled.isNull()) return; // out of memory: the quick copy stays
    m_shown = QPixmap::fromImage(scaled);
    m_shown.setDevicePixelRatio(devicePixelRatioF());
    update();
}

void PictureHolder::setPictureShape(const QSizeF& shape) {
    if (m_shape == shape) return;
    m_shape = shape;
    m_shown = QPixmap(); // made again at the new size when next drawn
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
    // The letterbox around a shaped picture is left as it is: the background.
    const QRect shown = letterboxed(area, m_shape);
    const QSize target = shown.size() * devicePixelRatioF();
    if (m_shown.isNull() || m_shown.size() != target) makeShown(target, devicePixelRatioF());
    painter.drawPixmap(shown.topLeft(), m_shown);
}

void PictureHolder::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

} // namespace vexa::widgets
