#pragma once

#include "core/base/Job.h"
#include "core/cover/CoverFit.h"

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <cstdint>
#include <optional>

namespace vexa::widgets {

// A window element that holds one picture at its full resolution and shows it stretched to
// its own size, aspect ratio not kept (the scanned picture), or in a given width:height
// letterboxed inside it (cover slots and the editor's previews: a cover as it prints),
// stretched, cropped or fitted as its framing says.
// The stretched copy is made once per picture and size, so a 40-megapixel picture costs
// nothing on repaint. A large picture is stretched on a worker thread, so the window does not
// stall on it: until the smooth copy arrives, a quick one (every n-th pixel) stands in.
class PictureHolder : public QWidget {
    Q_OBJECT
public:
    explicit PictureHolder(QWidget* parent = nullptr);
    // A smooth copy still being made is abandoned, not waited for.
    ~PictureHolder() override;

    const QImage& picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull(); }
    void setPicture(const QImage& picture);
    void clear() { setPicture(QImage()); }

    // The width:height the picture is stretched to, centred in the holder with the rest left
    // as background; an empty shape (the default) fills the holder.
    void setPictureShape(const QSizeF& shape);

    // How the picture takes that shape: stretched (the default), cropped to fill it where its
    // crop says, or fitted inside it with the rest white, as it prints.
    void setFraming(const cover::Framing& framing);
    const cover::Framing& framing() const { return m_framing; }
    // While set, a Fill crop follows the picture dragged with the mouse and moves with the
    // arrow keys while the holder has the focus; each move is told by cropMoved.
    void setCropMovable(bool movable);
    // How far one press of an arrow key moves the picture: a twentieth of the shape's side.
    static constexpr double kCropStep = 0.05;

    // A single-line border, as the editor's previews have.
    void setFramed(bool framed);

    // A frame in the highlight colour around the picture: the holder is the selected one.
    static constexpr int kMarkWidth = 3;
    void setMarked(bool marked);
    bool isMarked() const { return m_marked; }

    // A hint drawn while the holder is empty.
    void setPlaceholderText(const QString& text);

    // What the holder shows, as a screen reader names it ("DVD cover"); it adds whether the
    // holder has a picture ("DVD cover, no picture").
    void setSubject(const QString& subject);

    // Pictures of more pixels than this are stretched on a worker thread.
    static constexpr std::int64_t kScaleOnWorkerPixels = 2'000'000;
    // True while the smooth copy of a large picture is being made.
    bool isScaling() const { return m_scaling.isValid(); }

signals:
    void clicked();
    void cropMoved(const vexa::cover::Framing& framing);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The copy of the picture's shown part at `target` device pixels, made here or on a worker.
    void makeShown(const QSize& target, qreal ratio);
    void scaledOnWorker(const QImage& scaled, const QSize& target, const QRect& part,
                        std::uint64_t picture);
    // The picture's pixels shown: all of them, or the crop of a filled picture.
    QRect shownPart() const;
    // The area the shape takes in the holder: where the cover is drawn.
    QRect coverArea() const;
    bool cropMovable() const;
    // Moves the crop as if the picture were dragged by `delta` holder pixels.
    void dragCrop(const QPointF& delta);

    QImage m_picture;
    void updateAccessibleName();

    QString m_subject;
    std::uint64_t m_pictureNumber = 0; // counts setPicture calls, so late copies are dropped
    QPixmap m_shown;
    QSize m_scaling;     // the size being made on a worker, invalid when none is
    QRect m_shownPart;   // the part of the picture m_shown shows
    QRect m_scalingPart; // and the part m_scaling is made of
    QSizeF m_shape;
    cover::Framing m_framing;
    bool m_cropMovable = false;
    std::optional<QPointF> m_dragFrom; // while the picture is dragged
    bool m_framed = false;
    bool m_marked = false;
    QString m_placeholder;
    // Smooth copies, one at a time; only the newest one asked for waits behind the running one.
    base::Job m_scaler;
};

} // namespace vexa::widgets
