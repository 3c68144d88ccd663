#pragma once

#include <QImage>

namespace vexa::editor {

// The pictures of one Cover Manipulator session: the picture as opened, the current picture
// (what the right preview shows and "Accept" writes back) and one undo step. Copies share
// memory until one of them is written, so a large picture is not held many times over.
class EditPictures {
public:
    EditPictures() = default;
    explicit EditPictures(const QImage& opened);

    const QImage& opened() const { return m_opened; }
    const QImage& current() const { return m_current; }
    const QImage& undoPicture() const { return m_undo; }

    // The window became active: back to the picture as opened. The undo step stays.
    void activate();

    // An operation produced `result`: the current picture becomes the undo step first.
    void apply(const QImage& result);

    // "Undo Last Change": the undo step becomes the current picture again and stays the undo
    // step, so pressing it twice gives the same picture.
    void undo();

private:
    QImage m_opened;
    QImage m_current;
    QImage m_undo;
};

} // namespace vexa::editor
