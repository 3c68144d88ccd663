#include "notify/PopupGeometry.h"

#include "core/base/NumberText.h"

#include <algorithm>
#include <limits>

namespace vexa::notify {

namespace {

std::int16_t g_openPopupCount = 0;

int toPixelCount(double twips, double twipsPerPixel) {
    return static_cast<int>(base::roundHalfEven(twips / twipsPerPixel));
}

} // namespace

double fullPopupHeight(const PopupFrame& frame) {
    return frame.backgroundHeight + frame.borderHeight;
}

TwipsRect popupStartRect(const PopupFrame& frame, const ScreenTwips& screen, int openCount) {
    TwipsRect rect;
    const double left = screen.leftPixels * screen.twipsPerPixelX;
    const double top = screen.topPixels * screen.twipsPerPixelY;
    // Centred by the width the window had before display; the two widths normally agree.
    rect.left = left + screen.widthPixels * screen.twipsPerPixelX / 2 - frame.loadedWidth / 2;
    rect.height = kPopupStartHeight;
    rect.width = frame.backgroundWidth + frame.borderWidth;
    rect.top = top + screen.twipsPerPixelY * screen.fullScreenHeightPixels -
               fullPopupHeight(frame) * (openCount - 1) + kPopupBelowEdge;
    if (screen.heightPixels <= 0) return rect;

    // The slide-in keeps the bottom edge; the open popup reaches up from it by its full height.
    const double screenBottom = top + screen.heightPixels * screen.twipsPerPixelY;
    const double screenRight = left + screen.widthPixels * screen.twipsPerPixelX;
    // The lowest popup of a stack decides, so that the others stay exactly above it.
    const double lowestBottom = rect.top + fullPopupHeight(frame) * (openCount - 1) + rect.height;
    if (lowestBottom > screenBottom) rect.top -= lowestBottom - screenBottom;
    const double openTop = rect.top + rect.height - fullPopupHeight(frame);
    if (openTop < top) rect.top += top - openTop;
    if (rect.left + rect.width > screenRight) rect.left = screenRight - rect.width;
    if (rect.left < left) rect.left = left;
    return rect;
}

bool slideInStep(TwipsRect& rect, double fullHeight) {
    const double h = base::roundHalfEven(rect.height);
    if (fullHeight <= h) return false;
    double target = h + kPopupSlideStep;
    if (fullHeight < target) target = base::roundHalfEven(fullHeight);
    rect.height += target - h;
    rect.top -= target - h;
    return true;
}

bool slideOutStep(TwipsRect& rect) {
    const double h = base::roundHalfEven(rect.height);
    if (h < kPopupCloseBelow) return false;
    rect.height = h - kPopupSlideStep;
    rect.top += kPopupSlideStep;
    return true;
}

QRect toPixels(const TwipsRect& rect, const ScreenTwips& screen) {
    return QRect(toPixelCount(rect.left, screen.twipsPerPixelX),
                 toPixelCount(rect.top, screen.twipsPerPixelY),
                 toPixelCount(rect.width, screen.twipsPerPixelX),
                 toPixelCount(rect.height, screen.twipsPerPixelY));
}

bool popupsAnchoredToHost(const QString& platformName) {
    // "wayland", "wayland-egl", "wayland-brcm": every Wayland platform plugin.
    return platformName.startsWith(QLatin1String("wayland"));
}

QRect anchoredPopupRect(const QSize& size, const QRect& host, int openCount) {
    const int below = std::max(openCount - 1, 0);
    QRect rect(QPoint(0, 0), size);
    rect.moveLeft(std::max(host.left() + (host.width() - size.width()) / 2, host.left()));
    const int bottom = host.top() + host.height() - size.height() * below;
    rect.moveTop(std::max(bottom - size.height(), host.top()));
    return rect;
}

std::int16_t openPopupCount() {
    return g_openPopupCount;
}

std::int16_t countOpenedPopup() {
    // Thousands of popups cannot be open at once; the count stops rather than wrap.
    if (g_openPopupCount < std::numeric_limits<std::int16_t>::max()) ++g_openPopupCount;
    return g_openPopupCount;
}

void releasePopupIndex(std::int16_t index) {
    if (g_openPopupCount == index) g_openPopupCount = 0;
}

void resetOpenPopupCountForTesting() {
    g_openPopupCount = 0;
}

} // namespace vexa::notify
