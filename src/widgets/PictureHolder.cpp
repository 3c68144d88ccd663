#include "widgets/PictureHolder.h"

#include "widgets/AccessibleRole.h"
#include "widgets/Letterbox.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

#include <cmath>

namespace vexa::widgets {

namespace {

// A picture's part scaled to `target`: smooth, reading only that part.
QImage scaledPart(const QImage& picture, const QRect& part, const QSize& target) {
    const QImage source = part == picture.rect() ? picture : picture.copy(part);
    return source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

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
    m_dragFrom.reset();
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

QRect PictureHolder::shownPart() const {
    if (m_framing.fit != cover::CoverFit::Fill || m_shape.isEmpty()) return m_picture.rect();
    const QRectF part =
        cover::fitPicture(m_picture.size(), QRectF(QPointF(0, 0), m_shape), m_framing).part;
    const QRectF pixels(part.left() * m_picture.width(), part.top() * m_picture.height(),
                        part.width() * m_picture.width(), part.height() * m_picture.height());
    return pixels.toAlignedRect().intersected(m_picture.rect());
}

void PictureHolder::makeShown(const QSize& target, qreal ratio) {
    const QRect part = shownPart();
    m_shownPart = part;
    const std::int64_t pixels = std::int64_t(part.width()) * part.height();
    if (pixels <= kScaleOnWorkerPixels) {
        m_shown = QPixmap::fromImage(scaledPart(m_picture, part, target));
    } else {
        // Nearest pixels only: reads no more pixels than it writes, and copies nothing.
        QImage quick(target, QImage::Format_RGB32);
        quick.fill(Qt::white);
        QPainter(&quick).drawImage(QRect(QPoint(0, 0), target), m_picture, part);
        m_shown = QPixmap::fromImage(quick);
        if (m_scaling != target || m_scalingPart != part) {
            m_scaling = target;
            m_scalingPart = part;
            // The worker gets its own reference to the pixels; a copy that arrives for an
            // earlier picture, size or crop is dropped, and one asked for meanwhile is not made.
            m_scaler.clearQueue();
            m_scaler.enqueueWithResult(
                [picture = m_picture, part, target](base::JobControl&) {
                    return scaledPart(picture, part, target);
                },
                [this, target, part, number = m_pictureNumber](const QImage& scaled) {
                    scaledOnWorker(scaled, target, part, number);
                });
        }
    }
    m_shown.setDevicePixelRatio(ratio);
}

void PictureHolder::scaledOnWorker(const QImage& scaled, const QSize& target, const QRect& part,
                                   std::uint64_t picture) {
    if (picture != m_pictureNumber || target != m_scaling || part != m_scalingPart) return;
    m_scaling = QSize();
    if (part != m_shownPart || scaled.isNull()) return; // moved on, or out of memory
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

void PictureHolder::setFraming(const cover::Framing& framing) {
    if (m_framing == framing) return;
    m_framing = framing;
    update(); // the shown copy is made again when its part or size changes
}

void PictureHolder::setCropMovable(bool movable) {
    m_cropMovable = movable;
    m_dragFrom.reset();
}

bool PictureHolder::cropMovable() const {
    return m_cropMovable && m_framing.fit == cover::CoverFit::Fill && !m_picture.isNull();
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

QRect PictureHolder::coverArea() const {
    QRect area = rect();
    if (m_framed) area.adjust(1, 1, -1, -1);
    if (m_marked) area.adjust(kMarkWidth, kMarkWidth, -kMarkWidth, -kMarkWidth);
    return area.isEmpty() ? area : letterboxed(area, m_shape);
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
    const QRect shape = letterboxed(area, m_shape);
    QRect shown = shape;
    if (m_framing.fit == cover::CoverFit::Fit && !m_shape.isEmpty()) {
        // The rest of the cover prints white.
        painter.fillRect(shape, Qt::white);
        shown = cover::fitPicture(m_picture.size(), QRectF(shape), m_framing).place.toRect();
        if (shown.isEmpty()) return;
    }
    const QSize target = shown.size() * devicePixelRatioF();
    if (m_shown.isNull() || m_shown.size() != target || m_shownPart != shownPart())
        makeShown(target, devicePixelRatioF());
    painter.drawPixmap(shown.topLeft(), m_shown);
    // Where the arrow keys go: a filled cover whose crop they move shows that it has the focus.
    if (hasFocus() && cropMovable()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = shape.adjusted(2, 2, -2, -2);
        focus.backgroundColor = Qt::white;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void PictureHolder::dragCrop(const QPointF& delta) {
    const QRect shape = coverArea();
    if (shape.isEmpty()) return;
    const cover::Framing moved =
        cover::draggedCrop(m_framing, m_picture.size(), QSizeF(shape.size()), delta);
    if (moved == m_framing) return;
    setFraming(moved);
    emit cropMoved(moved);
}

void PictureHolder::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && cropMovable()) m_dragFrom = event->position();
    QWidget::mousePressEvent(event);
}

void PictureHolder::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragFrom && (event->buttons() & Qt::LeftButton) && cropMovable()) {
        const QPointF at = event->position();
        dragCrop(at - *m_dragFrom);
        m_dragFrom = at;
    }
    QWidget::mouseMoveEvent(event);
}

void PictureHolder::mouseReleaseEvent(QMouseEvent* event) {
    m_dragFrom.reset();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

void PictureHolder::keyPressEvent(QKeyEvent* event) {
    const QRect shape = coverArea();
    if (!cropMovable() || shape.isEmpty() || event->modifiers() != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    const double across = kCropStep * shape.width();
    const double down = kCropStep * shape.height();
    QPointF delta;
    switch (event->key()) {
    case Qt::Key_Left:
        delta = QPointF(-across, 0);
        break;
    case Qt::Key_Right:
        delta = QPointF(across, 0);
        break;
    case Qt::Key_Up:
        delta = QPointF(0, -down);
        break;
    case Qt::Key_Down:
        delta = QPointF(0, down);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    dragCrop(delta);
    event->accept();
}

} // namespace vexa::widgets
