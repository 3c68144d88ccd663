#include "shell/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace vexa::shell {

namespace {

// The rectangle moved the least distance that puts it inside `screen` (its top-left corner
// when it is larger than the screen).
QRect keptOnScreen(QRect frame, const QRect& screen) {
    frame.moveLeft(
        std::max(screen.left(), std::min(frame.left(), screen.right() - frame.width() + 1)));
    frame.moveTop(
        std::max(screen.top(), std::min(frame.top(), screen.bottom() - frame.height() + 1)));
    return frame;
}

} // namespace

QRect centredOver(const QSize& size, const QRect& owner) {
    // Integer halves: an odd difference leaves the extra pixel on the right and bottom.
    return QRect(QPoint(owner.left() + (owner.width() - size.width()) / 2,
                        owner.top() + (owner.height() - size.height()) / 2),
                 size);
}

QRect centredOrBeside(const QSize& size, const QRect& owner, const QRect& screen) {
    const QRect centred = centredOver(size, owner);
    if (screen.contains(centred)) return centred;
    const int top =
        std::max(screen.top(), std::min(owner.top(), screen.bottom() - size.height() + 1));
    const QRect right(QPoint(owner.right() + 1, top), size);
    if (screen.contains(right)) return right;
    const QRect left(QPoint(owner.left() - size.width(), top), size);
    if (screen.contains(left)) return left;
    return keptOnScreen(centred, screen);
}

void placeOverOwner(QWidget* window, const QWidget* owner, bool besideIfNeeded) {
    if (!window || !owner || !owner->isVisible()) return;
    const QRect ownerFrame = owner->frameGeometry();
    const QSize frame = window->size() + (ownerFrame.size() - owner->geometry().size());
    const QScreen* screen = owner->screen();
    const QRect area = screen ? screen->availableGeometry() : ownerFrame;
    const QRect place = besideIfNeeded ? centredOrBeside(frame, ownerFrame, area)
                                       : keptOnScreen(centredOver(frame, ownerFrame), area);
    window->move(place.topLeft()); // a window's position is that of its frame
}

} // namespace vexa::shell
