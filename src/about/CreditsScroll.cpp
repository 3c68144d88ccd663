#include "about/CreditsScroll.h"

#include <algorithm>

namespace vexa::about {

CreditsScroll::CreditsScroll(int viewHeight, int textHeight)
    : m_viewHeight(std::max(viewHeight, 0)), m_textHeight(std::max(textHeight, 0)) {}

void CreditsScroll::setViewHeight(int viewHeight) {
    m_viewHeight = std::max(viewHeight, 0);
}

void CreditsScroll::tick() {
    ++m_offset;
    if (m_offset > m_viewHeight + m_textHeight) m_offset = 0;
}

} // namespace vexa::about
