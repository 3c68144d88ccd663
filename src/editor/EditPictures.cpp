#include "editor/EditPictures.h"

namespace vexa::editor {

EditPictures::EditPictures(const QImage& opened)
    : m_opened(opened), m_current(opened), m_undo(opened) {}

void EditPictures::activate() {
    m_current = m_opened;
}

void EditPictures::apply(const QImage& result) {
    m_undo = m_current;
    m_current = result;
}

void EditPictures::undo() {
    m_current = m_undo;
}

} // namespace vexa::editor
