#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace vexa {

// A window element that holds one picture at its full resolution and shows it stretched to
// its own size, aspect ratio not kept (cover slots, the scanned picture, editor previews).
// The stretched copy is made once per picture and size, so a 40-megapixel picture costs
// nothing on repaint.
class PictureHolder : public QWidget {
    Q_OBJECT
public:
    explicit PictureHolder(QWidget* parent = nullptr);

    const QImage& picture() const { return m_picture; }
    bool hasPicture() const { return !m_picture.isNull(); }
    void setPicture(const QImage& picture);
    void clear() { setPicture(QImage()); }

    // A single-line border, as the editor's previews have.
    void setFramed(bool framed);

    // A frame in the highlight colour around the picture: the holder is the selected one.
    static constexpr int kMarkWidth = 3;
    void setMarked(bool marked);
    bool isMarked() const { return m_marked; }

    // A hint drawn while the holder is empty.
    void setPlaceholderText(const QString& text);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    QPixmap m_shown;
    bool m_framed = false;
    bool m_marked = false;
    QString m_placeholder;
};

} // namespace vexa
