#pragma once

namespace vexa::about {

// Where the scrolling credits stand: the text enters at the bottom of its view, moves up one
// pixel per tick, and once it has left at the top it enters at the bottom again.
class CreditsScroll {
public:
    CreditsScroll(int viewHeight, int textHeight);

    void setViewHeight(int viewHeight);
    void tick();

    // The text's top edge, in view coordinates: viewHeight when it starts, down to
    // -textHeight when it has just left.
    int textTop() const { return m_viewHeight - m_offset; }

private:
    int m_viewHeight;
    int m_textHeight;
    int m_offset = 0; // pixels moved since the text last entered
};

} // namespace vexa::about
